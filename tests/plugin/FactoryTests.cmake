# Chunk loading and the factory rooms (plain records, no engine needed).
ovinta_test(ovinta_chunk_tests
  ChunkTest.cpp
  ChunkSanitizeTest.cpp
  LIBS ovinta_program)

ovinta_test(ovinta_factory_program_tests
  FactoryProgramsTest.cpp
  FactoryRoomGeometryTest.cpp
  LIBS ovinta_program)
