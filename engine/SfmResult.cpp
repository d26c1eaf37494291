#include "engine/SfmResult.h"

namespace {

struct ResultText {
    SfmResult code;
    const char* text;
};

constexpr ResultText kResultTexts[] = {
    {0, ""},
    {105, "Synth Invalid"},
    {106, "Bank Index Invalid"},
    {107, "Pathname Invalid"},
    {108, "Format Invalid"},
    {109, "Preset Index Invalid"},
    {111, "Access Not Permitted"},
    {112, "Version Invalid"},
    {113, "Device Invalid"},
    {114, "Support Invalid"},
    {115, "Invalid Sound Rom"},
    {116, "Not Static Memory"},
    {117, "Last Invalid"},
    {201, "Dll Busy"},
    {202, "Device Busy"},
    {203, "Resource Insufficient"},
    {204, "System Memory Insufficient"},
    {205, "Sound Memory Insufficient"},
    {206, "Last Contention"},
    {401, "Load Dll Failed"},
    {402, "Get Entrypoint Fail"},
    {403, "Device Not Found"},
    {404, "Interface Not Supported"},
    {405, "Last API"},
    {901, "Undefined Error"},
};

} // namespace

const char* SfmResultText(SfmResult code)
{
    for (const ResultText& entry : kResultTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return "Unknown Error";
}
