add_library(winfile STATIC WinFile.cpp WinHandle.cpp WinImpersonation.cpp DeviceIo.cpp)
target_include_directories(winfile PUBLIC ${PROJECT_SOURCE_DIR})
set_target_properties(winfile PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(winfile PUBLIC base)
