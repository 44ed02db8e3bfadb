# The service manager, console control and named mutex stand-ins.
tamsel_add_gtest(test_winservice
  SOURCES NamedMutexTest.cpp ServiceUnitTest.cpp ControlSignalsTest.cpp PowerBroadcastTest.cpp ServiceConfigTest.cpp
  LIBS winservice)
