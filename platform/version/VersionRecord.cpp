// Linked as an object into each deliverable; nothing refers to the record, so it is marked used.
#include "platform/version/VersionRecord.h"

namespace {

__attribute__((used, section(".tamsel_version"))) const version::VersionRecord TAMSEL_VERSION_RECORD = {
    {'T', 'M', 'S', 'L', 'V', 'E', 'R', '1'},
    {TAMSEL_VERSION_MAJOR, TAMSEL_VERSION_MINOR, TAMSEL_VERSION_PATCH, TAMSEL_VERSION_BUILD},
    {TAMSEL_VERSION_MAJOR, TAMSEL_VERSION_MINOR, TAMSEL_VERSION_PATCH, TAMSEL_VERSION_BUILD},
};

}  // namespace
