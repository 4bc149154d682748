if(TARGET pavona_swf AND TARGET pavona_extract)
  pavona_fuzz_target(swfheader_fuzzer swfheader_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/swfheader pavona_swf)
  pavona_fuzz_target(projector_fuzzer projector_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/projector
    pavona_extract)
endif()
