#include "shell/ShellMalloc.h"

#include <shlobj.h>

CShellMalloc::CShellMalloc()
{
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc)))
        m_malloc.reset(malloc);
}

void* CShellMalloc::Alloc(std::size_t bytes) const
{
    return m_malloc ? m_malloc->Alloc(bytes) : nullptr;
}

void CShellMalloc::Free(void* block) const
{
    if (block && m_malloc)
        m_malloc->Free(block);
}
