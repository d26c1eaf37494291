#pragma once
// The one owner of a COM reference: released when the owner goes.

#include <windows.h>
#include <unknwn.h>

#include <memory>

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

template <typename Interface>
using ComRef = std::unique_ptr<Interface, ComRelease>;
