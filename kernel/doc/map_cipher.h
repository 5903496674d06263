#pragma once

#include <cstdint>
#include <memory>

// Deciphers the enciphered runs of a map: each whole 16-byte block is AES-
// decrypted in place (ECB, no padding) and its first byte XORed with the
// block's index in the run (mod 256); a tail shorter than a block stays as stored.
class CZXS_MapCipher {
public:
    CZXS_MapCipher();
    ~CZXS_MapCipher();
    CZXS_MapCipher(const CZXS_MapCipher&) = delete;
    CZXS_MapCipher& operator=(const CZXS_MapCipher&) = delete;

    // Prepares the key schedule from a 16-, 24- or 32-byte key. False for any
    // other length or when the cipher cannot be set up.
    bool Prepare(const uint8_t* key, uint32_t length);
    bool IsReady() const { return m_ready; }
    void Clear();

    // Deciphers one run in place; nothing without a schedule, bytes or a whole block.
    bool Decipher(uint8_t* bytes, uint32_t length) const;

private:
    struct Context;
    std::unique_ptr<Context> m_context;
    bool m_ready = false;
};
