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

std::string CShellFolder::NameOf(LPCITEMIDLIST item, SHGDNF flags) const
{
    STRRET answer = {};
    if (!m_folder || FAILED(m_folder->GetDisplayNameOf(item, flags, &answer)))
        return std::string();
    return StrRetToText(answer, item, m_malloc);
}

std::string CShellFolder::DisplayNameOf(LPCITEMIDLIST item) const
{
    return NameOf(item, SHGDN_INFOLDER);
}

std::string CShellFolder::ParsingNameOf(LPCITEMIDLIST item) const
{
    return NameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING);
}

SFGAOF CShellFolder::AttributesOf(LPCITEMIDLIST item, SFGAOF wanted) const
{
    SFGAOF attributes = wanted;
    if (!m_folder || FAILED(m_folder->GetAttributesOf(1, &item, &attributes)))
        return 0;
    return attributes & wanted;
}
