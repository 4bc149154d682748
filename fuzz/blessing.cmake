pavona_fuzz_target(fontstyle_fuzzer fontstyle_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/fontstyle pavona_blessing)
pavona_fuzz_target(blessingdat_fuzzer blessingdat_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/blessingdat
  pavona_blessing)
pavona_fuzz_target(markup_fuzzer markup_fuzzer.cpp ${CMAKE_CURRENT_SOURCE_DIR}/seeds/markup pavona_blessing)
