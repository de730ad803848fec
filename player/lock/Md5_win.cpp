#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

#include "Md5.h"
#include "UniqueResource.h"

namespace {

void CloseAlgorithm(BCRYPT_ALG_HANDLE h) {
    BCryptCloseAlgorithmProvider(h, 0);
}
void DestroyHash(BCRYPT_HASH_HANDLE h) {
    BCryptDestroyHash(h);
}
using UniqueAlgorithm = UniqueResource<BCRYPT_ALG_HANDLE, CloseAlgorithm, nullptr>;
using UniqueHash = UniqueResource<BCRYPT_HASH_HANDLE, DestroyHash, nullptr>;

void Check(NTSTATUS status, const char* what) {
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error(std::string("MD5: ") + what + " failed");
}

}  // namespace

Md5Digest Md5(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    Check(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0),
          "BCryptOpenAlgorithmProvider");
    UniqueAlgorithm ownAlgorithm(algorithm);
    // The hash object's memory is the system's own (Windows 7 and later).
    BCRYPT_HASH_HANDLE hash = nullptr;
    Check(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0), "BCryptCreateHash");
    UniqueHash ownHash(hash);
    // Even an empty input is hashed: its digest is a value like any other.
    auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
    Check(BCryptHashData(hash, data, static_cast<ULONG>(bytes.size()), 0), "BCryptHashData");
    Md5Digest digest{};
    Check(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0),
          "BCryptFinishHash");
    return digest;
}
