# SWF header reader, movie generator, projector extraction, and the CLI's
# extract and swfinfo commands.
if(TARGET pavona_swf AND TARGET pavona_swfgen AND TARGET pavona_extract)
  pavona_test(swf_tests SwfHeaderTest.cpp SwfGenTest.cpp)
  target_link_libraries(swf_tests PRIVATE pavona_swf pavona_swfgen)

  pavona_test(extract_tests ExtractTest.cpp ExtractCliTest.cpp)
  target_link_libraries(extract_tests PRIVATE pavona_extract pavona_swf pavona_swfgen)
  target_compile_definitions(extract_tests PRIVATE PAVONA_CLI="$<TARGET_FILE:pavona-cli>")
  add_dependencies(extract_tests pavona-cli)

  # Real movies from the shared corpus beside the source tree; skipped when absent.
  pavona_test(corpus_swf_tests CorpusSwfTest.cpp)
  target_link_libraries(corpus_swf_tests PRIVATE pavona_extract pavona_swf pavona_swfgen pavona_packaging)
  target_compile_definitions(corpus_swf_tests PRIVATE PAVONA_SWF_CORPUS="${CMAKE_SOURCE_DIR}/../shared/corpus/swf")
endif()
