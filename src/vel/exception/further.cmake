# Exceptions of the engine's base values, files, credentials, XML and the connection API.
add_library(vel_exception_further STATIC
  ExceptionConstants.cpp
  NoConnectionException.cpp
  CanceledException.cpp
  InvalidGroupException.cpp
  InvalidNetworkException.cpp
  ConversionException.cpp
  XmlException.cpp
  FileIOException.cpp
  CredentialException.cpp
  ConnectionApiException.cpp
)
target_include_directories(vel_exception_further PUBLIC ${PROJECT_SOURCE_DIR}/src)
# Some carry texts of the string module.
target_link_libraries(vel_exception_further PUBLIC vel_string lum)
