# swfrun --audio writes a WAV of the frames it ran: the file exists, has the expected size and
# is not silence (some byte of the samples is not zero).
execute_process(COMMAND ${SWFRUN} ${MOVIE} --frames ${FRAMES} --audio ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "swfrun failed: ${rc}")
endif()
file(SIZE ${OUT} size)
if(NOT size EQUAL EXPECTED_BYTES)
  message(FATAL_ERROR "${OUT}: ${size} bytes, expected ${EXPECTED_BYTES}")
endif()
file(READ ${OUT} samples OFFSET 44 LIMIT 8000 HEX)
if(samples MATCHES "^0*$")
  message(FATAL_ERROR "${OUT}: the first 2000 frames are silent")
endif()
