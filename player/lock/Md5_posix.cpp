#include <openssl/evp.h>

#include <stdexcept>

#include "Md5.h"

Md5Digest Md5(const std::string& bytes) {
    Md5Digest digest{};
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_md5(), nullptr) != 1 ||
        size != digest.size())
        throw std::runtime_error("MD5 is not available");
    return digest;
}
