#include "shell/ShellFolder.h"

#include "shell/StrRet.h"

CShellFolder::CShellFolder(IShellFolder* adopted)
    : m_folder(adopted)
{
}

CShellFolder CShellFolder::Desktop()
{
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        desktop = nullptr;
    return CShellFolder(desktop);
}

CShellFolder CShellFolder::BindTo(LPCITEMIDLIST list) const
{
    IShellFolder* folder = nullptr;
    if (!m_folder || FAILED(m_folder->BindToObject(list, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder))))
        folder = nullptr;
    return CShellFolder(folder);
}

std::string CShellFolder::DisplayNameOf(LPCITEMIDLIST item) const
{
    STRRET answer = {};
    if (!m_folder || FAILED(m_folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &answer)))
        return std::string();
    return StrRetToText(answer, item, m_malloc);
}

bool CShellFolder::IsStream(LPCITEMIDLIST item) const
{
    SFGAOF attributes = SFGAO_STREAM;
    return m_folder && SUCCEEDED(m_folder->GetAttributesOf(1, &item, &attributes)) &&
           (attributes & SFGAO_STREAM) != 0;
}
