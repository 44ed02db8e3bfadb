# Stand-ins of the service control manager, the console control handler and the named mutex that
# the service host uses.
add_library(winservice STATIC
  NamedMutex.cpp
  ControlSignals.cpp
  ConsoleControl.cpp
  ServiceStatusFile.cpp
  ServiceUnit.cpp
  ServiceControl.cpp
  PowerBroadcast.cpp
)
target_include_directories(winservice PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(winservice PUBLIC base lab Threads::Threads)
