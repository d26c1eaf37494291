#include "engine/EngineResult.h"

namespace {

constexpr char kNameNotPassableText[] =
    "this file's name can't be passed to the sound card: rename it or copy it to a folder with a plain name";

const char* TextOf(SfmResult code)
{
    switch (code) {
    case EngineResult::kNameNotPassable:
        return kNameNotPassableText;
    case EngineResult::kDeviceIndexOutOfRange:
        return SfmResultText(kSfmDeviceInvalid);
    default:
        return SfmResultText(code);
    }
}

} // namespace

EngineResult EngineResult::Of(SfmResult code)
{
    return EngineResult(code, TextOf(code));
}

EngineResult EngineResult::Of(SfmResult code, SfmResult textCode)
{
    return EngineResult(code, TextOf(textCode));
}
