#include "platform/win/DataProtection.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/base/FailureInjection.h"
#include "platform/base/Folders.h"
#include "platform/base/Root.h"

namespace wincrypt {

namespace {

constexpr BYTE BLOB_VERSION = 1;
constexpr int NONCE_SIZE = 12;
constexpr int TAG_SIZE = 16;
constexpr int KEY_SIZE = 32;
constexpr int OVERHEAD = 1 + NONCE_SIZE + TAG_SIZE;
constexpr const char* KEY_FILE = "dataprotection.key";

BOOL fail(DWORD error) {
    SetLastError(error);
    return 0;
}

struct CipherDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherDeleter>;

// The key as read, wiped when it goes out of use.
struct MachineKey {
    BYTE bytes[KEY_SIZE] = {};
    ~MachineKey() { OPENSSL_cleanse(bytes, sizeof bytes); }
};

enum class KeyState { READ, MISSING, REFUSED };

void refuse(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "dataprotection: key file %s refused: %s\n", path.c_str(), reason.c_str());
}

std::string numbers(const char* format, unsigned long have, unsigned long want) {
    char text[80];
    std::snprintf(text, sizeof text, format, have, want);
    return text;
}

// Only a file of the right size that this user alone may read is taken as the machine's key.
KeyState readKey(const std::string& path, MachineKey& key) {
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return KeyState::MISSING;
        refuse(path, std::string("cannot be opened: ") + std::strerror(errno));
        return KeyState::REFUSED;
    }
    struct stat status {};
    KeyState state = KeyState::REFUSED;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        refuse(path, "not a regular file");
    } else if (status.st_uid != geteuid()) {
        refuse(path, numbers("owner %lu, expected %lu", status.st_uid, geteuid()));
    } else if ((status.st_mode & 07777) != 0600) {
        refuse(path, numbers("mode %04lo, expected %04lo", status.st_mode & 07777, 0600));
    } else if (status.st_size != KEY_SIZE) {
        refuse(path, numbers("size %lu, expected %lu", static_cast<unsigned long>(status.st_size), KEY_SIZE));
    } else if (read(fd, key.bytes, KEY_SIZE) != KEY_SIZE) {
        refuse(path, "cannot be read");
    } else {
        state = KeyState::READ;
    }
    close(fd);
    return state;
}

// The first protection makes the key: written in full to a file of its own, then linked under the
// key's name, which never replaces a key another process made first.
KeyState makeKey(const std::string& root, const std::string& path, MachineKey& key) {
    if (!base::makeFolders(root)) return KeyState::REFUSED;
    std::string temporary = root + "/.dataprotection.key.XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return KeyState::REFUSED;
    bool written = RAND_bytes(key.bytes, KEY_SIZE) == 1 && fchmod(fd, 0600) == 0 &&
                   write(fd, key.bytes, KEY_SIZE) == KEY_SIZE && fsync(fd) == 0;
    close(fd);
    const bool linked = written && link(temporary.c_str(), path.c_str()) == 0;
    const bool lost = written && !linked && errno == EEXIST;
    unlink(temporary.c_str());
    if (linked) return KeyState::READ;
    return lost ? readKey(path, key) : KeyState::REFUSED;
}

BOOL loadKey(bool create, MachineKey& key) {
    const std::string root = base::programDataRoot();
    const std::string path = root + "/" + KEY_FILE;
    KeyState state = readKey(path, key);
    if (state == KeyState::MISSING && create) state = makeKey(root, path, key);
    if (state == KeyState::READ) return 1;
    return fail(state == KeyState::MISSING ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
}

bool checkArguments(const DATA_BLOB* dataIn, DWORD flags, const DATA_BLOB* dataOut) {
    if (dataIn == nullptr || dataOut == nullptr || (dataIn->cbData > 0 && dataIn->pbData == nullptr)) {
        fail(ERROR_INVALID_PARAMETER);
        return false;
    }
    if ((flags & CRYPTPROTECT_LOCAL_MACHINE) == 0) {
        fail(ERROR_NOT_SUPPORTED);
        return false;
    }
    return true;
}

}  // namespace

BOOL CryptProtectData(DATA_BLOB* dataIn, const char16_t*, DATA_BLOB*, void*, CRYPTPROTECT_PROMPTSTRUCT*,
                      DWORD flags, DATA_BLOB* dataOut) {
    if (DWORD code = 0; base::injectedFailure("CryptProtectData", code)) return fail(code);
    if (!checkArguments(dataIn, flags, dataOut)) return 0;
    if (dataIn->cbData > 0x7FFFFFFF - OVERHEAD) return fail(ERROR_INVALID_PARAMETER);
    MachineKey key;
    if (!loadKey(true, key)) return 0;

    const int plainLength = static_cast<int>(dataIn->cbData);
    const DWORD total = static_cast<DWORD>(plainLength + OVERHEAD);
    BYTE* blob = static_cast<BYTE*>(std::malloc(total));
    if (blob == nullptr) return fail(ERROR_NOT_ENOUGH_MEMORY);
    blob[0] = BLOB_VERSION;
    BYTE* nonce = blob + 1;
    BYTE* cipher = nonce + NONCE_SIZE;
    BYTE* tag = cipher + plainLength;
    CipherContext context(EVP_CIPHER_CTX_new());
    int written = 0;
    int finalWritten = 0;
    const bool sealed =
        RAND_bytes(nonce, NONCE_SIZE) == 1 && context &&
        EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key.bytes, nonce) == 1 &&
        (plainLength == 0 ||
         EVP_EncryptUpdate(context.get(), cipher, &written, dataIn->pbData, plainLength) == 1) &&
        EVP_EncryptFinal_ex(context.get(), cipher + written, &finalWritten) == 1 &&
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, TAG_SIZE, tag) == 1;
    if (!sealed) {
        std::free(blob);
        return fail(ERROR_INVALID_DATA);
    }
    dataOut->cbData = total;
    dataOut->pbData = blob;
    return 1;
}

BOOL CryptUnprotectData(DATA_BLOB* dataIn, char16_t** description, DATA_BLOB*, void*,
                        CRYPTPROTECT_PROMPTSTRUCT*, DWORD flags, DATA_BLOB* dataOut) {
    if (DWORD code = 0; base::injectedFailure("CryptUnprotectData", code)) return fail(code);
    if (description != nullptr) *description = nullptr;
    if (!checkArguments(dataIn, flags, dataOut)) return 0;
    if (dataIn->cbData < static_cast<DWORD>(OVERHEAD) || dataIn->pbData[0] != BLOB_VERSION) {
        return fail(ERROR_INVALID_DATA);
    }
    MachineKey key;
    if (!loadKey(false, key)) return 0;

    const BYTE* nonce = dataIn->pbData + 1;
    const BYTE* cipher = nonce + NONCE_SIZE;
    const int cipherLength = static_cast<int>(dataIn->cbData) - OVERHEAD;
    const BYTE* tag = cipher + cipherLength;
    // One byte more than needed, so that an empty value still gets memory of its own.
    BYTE* plain = static_cast<BYTE*>(std::malloc(cipherLength + 1));
    if (plain == nullptr) return fail(ERROR_NOT_ENOUGH_MEMORY);
    CipherContext context(EVP_CIPHER_CTX_new());
    int written = 0;
    int finalWritten = 0;
    const bool opened =
        context && EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key.bytes, nonce) == 1 &&
        (cipherLength == 0 || EVP_DecryptUpdate(context.get(), plain, &written, cipher, cipherLength) == 1) &&
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, TAG_SIZE, const_cast<BYTE*>(tag)) == 1 &&
        EVP_DecryptFinal_ex(context.get(), plain + written, &finalWritten) == 1;
    if (!opened) {
        OPENSSL_cleanse(plain, cipherLength + 1);
        std::free(plain);
        return fail(ERROR_INVALID_DATA);
    }
    dataOut->cbData = static_cast<DWORD>(cipherLength);
    dataOut->pbData = plain;
    return 1;
}

void* LocalFree(void* memory) {
    // A failed free leaves the memory with its owner, as the system's does.
    if (DWORD code = 0; base::injectedFailure("LocalFree", code)) {
        SetLastError(code);
        return memory;
    }
    std::free(memory);
    return nullptr;
}

}  // namespace wincrypt
