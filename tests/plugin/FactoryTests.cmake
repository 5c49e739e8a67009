# Chunk loading and the factory rooms (plain records, no engine needed).
ovinta_test(ovinta_chunk_tests
  ChunkTest.cpp
  ChunkSanitizeTest.cpp
  ChunkPropertyTest.cpp
  LIBS ovinta_program)

ovinta_test(ovinta_factory_program_tests
  FactoryProgramsTest.cpp
  FactoryRoomGeometryTest.cpp
  LIBS ovinta_program)

# Measured impulse responses of the factory rooms (needs the process driver
# and the acoustic analysis, like the measuring tool).
if(TARGET ovinta_room_measure)
  ovinta_test(ovinta_factory_room_measure_tests
    FactoryRoomsMeasureTest.cpp
    LIBS ovinta_room_measure)
endif()
