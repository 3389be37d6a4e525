#!/bin/sh
# qf-user COMMAND [ARGS]: runs COMMAND as the unprivileged user qfuser
# (uid 1000, no supplementary groups), with HOME=/home/qfuser. The "--" keeps
# su from taking the command's own options ("--json") for its.
exec su -s /bin/sh -c '"$@"' -- qfuser qf-user "$@"
