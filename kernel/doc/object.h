#pragma once

#include <cstdint>

// Root of every kernel class: a failing operation stores a kernel error code in
// the object, and the interface layer reads it once and translates it.
class CZXS_Object {
public:
    CZXS_Object() = default;
    CZXS_Object(const CZXS_Object&) = default;
    CZXS_Object& operator=(const CZXS_Object&) = default;
    virtual ~CZXS_Object() = default;

    virtual void SetError(int32_t code) { m_error = code; }
    // Returns the stored code and clears it, so each failure is reported once.
    virtual int32_t GetError()
    {
        const int32_t code = m_error;
        m_error = 0;
        return code;
    }
    virtual const char16_t* ClassName() const { return u"CZXS_Object"; }

private:
    int32_t m_error = 0;
};
