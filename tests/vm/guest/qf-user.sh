#!/bin/sh
# qf-user COMMAND [ARGS]: runs COMMAND as the unprivileged user qfuser
# (uid 1000, no supplementary groups), with HOME=/home/qfuser.
exec su -s /bin/sh qfuser -c '"$@"' qf-user "$@"
