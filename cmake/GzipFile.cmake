# cmake -DGZIP=gzip -DINPUT=file -DOUTPUT=file.gz -P GzipFile.cmake
# Compresses INPUT into OUTPUT at the best level, without name or time stamp.
execute_process(COMMAND ${GZIP} -9 -n -c ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip ${INPUT}: ${failed}")
endif()
