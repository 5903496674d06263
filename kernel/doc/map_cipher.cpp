#include "kernel/doc/map_cipher.h"

#include <openssl/evp.h>

struct CZXS_MapCipher::Context {
    EVP_CIPHER_CTX* ctx = nullptr;
    ~Context() { EVP_CIPHER_CTX_free(ctx); }
};

CZXS_MapCipher::CZXS_MapCipher() = default;
CZXS_MapCipher::~CZXS_MapCipher() = default;

void CZXS_MapCipher::Clear()
{
    m_context.reset();
    m_ready = false;
}

bool CZXS_MapCipher::Prepare(const uint8_t* key, uint32_t length)
{
    Clear();
    const EVP_CIPHER* cipher = nullptr;
    switch (length) {
    case 16:
        cipher = EVP_aes_128_ecb();
        break;
    case 24:
        cipher = EVP_aes_192_ecb();
        break;
    case 32:
        cipher = EVP_aes_256_ecb();
        break;
    default:
        return false;
    }
    if (key == nullptr)
        return false;
    auto context = std::unique_ptr<Context>(new (std::nothrow) Context);
    if (!context)
        return false;
    context->ctx = EVP_CIPHER_CTX_new();
    if (context->ctx == nullptr || EVP_DecryptInit_ex(context->ctx, cipher, nullptr, key, nullptr) != 1
        || EVP_CIPHER_CTX_set_padding(context->ctx, 0) != 1)
        return false;
    m_context = std::move(context);
    m_ready = true;
    return true;
}

bool CZXS_MapCipher::Decipher(uint8_t* bytes, uint32_t length) const
{
    if (!m_ready || bytes == nullptr || length < 16)
        return false;
    const uint32_t whole = length - length % 16;
    // ECB treats blocks independently, so the whole run goes through at once;
    // decrypting in place is allowed when input and output coincide exactly.
    uint32_t done = 0;
    while (done < whole) {
        const uint32_t chunk = whole - done > 0x40000000u ? 0x40000000u : whole - done;
        int out = 0;
        if (EVP_DecryptUpdate(m_context->ctx, bytes + done, &out, bytes + done, static_cast<int>(chunk)) != 1
            || static_cast<uint32_t>(out) != chunk)
            return false;
        done += chunk;
    }
    for (uint32_t n = 0; n < whole / 16; ++n)
        bytes[n * 16] ^= static_cast<uint8_t>(n & 0xFF);
    return true;
}
