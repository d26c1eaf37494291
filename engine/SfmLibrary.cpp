#include "engine/SfmLibrary.h"

#include <utility>

CSfmLibrary::~CSfmLibrary()
{
    Unload();
}

CSfmLibrary::CSfmLibrary(CSfmLibrary&& other) noexcept
    : m_module(std::exchange(other.m_module, nullptr))
    , m_operations(std::exchange(other.m_operations, nullptr))
{
}

CSfmLibrary& CSfmLibrary::operator=(CSfmLibrary&& other) noexcept
{
    if (this != &other) {
        Unload();
        m_module = std::exchange(other.m_module, nullptr);
        m_operations = std::exchange(other.m_operations, nullptr);
    }
    return *this;
}

void CSfmLibrary::Unload()
{
    m_operations = nullptr;
    if (m_module) {
        FreeLibrary(m_module);
        m_module = nullptr;
    }
}

EngineResult CSfmLibrary::Load(const std::string& nameOrPath)
{
    Unload();
    m_module = LoadLibraryA(nameOrPath.c_str());
    return Bind();
}

EngineResult CSfmLibrary::LoadFrom(const std::wstring& path)
{
    Unload();
    m_module = LoadLibraryW(path.c_str());
    return Bind();
}

EngineResult CSfmLibrary::Bind()
{
    if (!m_module)
        return EngineResult::Of(EngineResult::kLibraryNotLoaded, kSfmLoadDllFailed);
    const auto* entry = reinterpret_cast<const SfmEntry*>(
        reinterpret_cast<void*>(GetProcAddress(m_module, kSfmEntryName)));
    if (!entry)
        return EngineResult::Of(EngineResult::kNoEntryPoint, kSfmGetEntrypointFail);
    const SfmOperationTable* operations = nullptr;
    if (!entry->requestInterface || entry->requestInterface(kSfmInterfaceId, &operations) != kSfmSuccess ||
        !operations)
        return EngineResult::Of(EngineResult::kInterfaceRefused, kSfmInterfaceNotSupported);
    m_operations = operations;
    return EngineResult();
}
