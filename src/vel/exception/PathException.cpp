#include "vel/exception/PathException.h"

#include "runtime/lum/RuntimeFolders.h"

PathException::PathException(const char* file, int line)
    : m_file(file != nullptr ? pathFileName(file) : "?"), m_line(line) {}
