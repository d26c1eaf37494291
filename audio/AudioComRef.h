#pragma once
// The one owner of a COM reference of the audio layer: released when the owner goes.
#include <windows.h>
#include <unknwn.h>

#include <memory>

struct AudioComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

template <typename Interface> using AudioComRef = std::unique_ptr<Interface, AudioComRelease>;
