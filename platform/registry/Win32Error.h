#pragma once

// Win32 error codes that the stand-ins return, with their Windows values so that exit codes and
// printed numbers mean what an administrator expects.
namespace winerr {

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_PATH_NOT_FOUND = 3;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr long ERROR_INVALID_DATA = 13;
inline constexpr long ERROR_GEN_FAILURE = 31;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_NO_MORE_ITEMS = 259;
inline constexpr long ERROR_BADDB = 1009;
inline constexpr long ERROR_CANTREAD = 1012;
inline constexpr long ERROR_CANTWRITE = 1013;
inline constexpr long ERROR_KEY_DELETED = 1018;
inline constexpr long ERROR_NOT_FOUND = 1168;

}  // namespace winerr
