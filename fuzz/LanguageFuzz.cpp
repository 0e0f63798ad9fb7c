// Any bytes as the language file and as the text looked up in it. Properties: the
// first lookup may add the text to the file, a second lookup of the same text finds
// it and leaves the file as it is, and both give the same translation.
//
// Input: the language index byte, a length byte, that many bytes of text, then the
// file. The window looks up only UTF-8 texts (its captions and literals), so text
// bytes that are not UTF-8 are taken as Windows-1252. VX_FUZZ_RAW_TEXTS=1 looks them up
// as they are: such a text is stored unchanged in the UTF-8 file, which then reads
// as Windows-1252, so it is never found and added again at every lookup.
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "base/ProgramError.h"
#include "base/TextEncoding.h"
#include "lang/LanguageFile.h"
#include "lang/Translation.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

using vx::fuzz::Check;

struct Scratch {
    vx::test::TempFolder root;
    vx::test::FixedFolders folders = vx::test::FoldersUnder(root.Path(), root.Path().string());
    std::filesystem::path file = root.Path() / "config/Kelvorn/SoftwareVX212/418config.lng";
};

std::string Translate(std::string_view text, int32_t index, const Scratch& scratch) {
    vx::fuzz::CountingMessages messages;
    try {
        return vx::TranslateText(text, index, scratch.folders, messages);
    } catch (const vx::ProgramError& e) {
        vx::fuzz::Fail("a read language file can be written back", e.what());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    vx::fuzz::Input in(data, size);
    const int32_t index = static_cast<int8_t>(in.Byte()) % 4;
    static const bool rawTexts = std::getenv("VX_FUZZ_RAW_TEXTS") != nullptr;
    const std::string_view bytes = in.Bytes(in.Byte());
    const std::string text(rawTexts || vx::IsValidUtf8(bytes) ? std::string(bytes)
                                                              : vx::Cp1252ToUtf8(bytes));
    vx::test::WriteBytes(scratch.file, in.Rest());

    if (const auto file = vx::IniFile::Load(scratch.file)) {
        vx::LanguageNames(*file);
    }
    const std::string first = Translate(text, index, scratch);
    const std::string afterFirst = vx::test::ReadBytes(scratch.file);
    const std::string second = Translate(text, index, scratch);
    Check(vx::test::ReadBytes(scratch.file) == afterFirst,
          "a second lookup of the same text leaves the file alone", text);
    Check(second == first, "a second lookup gives the same translation", text);
    return 0;
}
