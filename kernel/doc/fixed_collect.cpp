#include "kernel/doc/fixed_collect.h"

void CFixedCollect::Reset()
{
    CByteCollect::Reset();
    m_recordSize = 1;
}

int CFixedCollect::Free()
{
    m_recordSize = 1;
    return CByteCollect::Free();
}
