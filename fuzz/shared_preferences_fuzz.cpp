// fuzz-sources: core/shared_preferences core/file_io
// Drives the shared preferences document with arbitrary bytes: the input is a
// document, then key and value pairs, all separated by NUL bytes. Promises
// checked: a loaded document has CR LF line ends only and fits the size limit
// in the form it is saved in; a key that was set stands in the document as
// "<KEY>value</KEY>" with its line breaks made blanks; and whatever is saved
// loads again to the same document.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "core/shared_preferences.h"
#include "core/text_util.h"
#include "fuzz_check.h"

using namespace wexon::core;

namespace {

std::string blanksForLineBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        out.push_back(text[i] == '\r' || text[i] == '\n' ? ' ' : text[i]);
    }
    return out;
}

bool onlyCrLf(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

const char* const kSavedName = "SharedUserPreferences.xml";

// A folder of our own for saved documents, made once per run on a memory file
// system where there is one (so that saving costs no disk), removed at exit.
const std::string& saveFolder() {
    static const std::string folder = [] {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            std::string tmpl = std::string(base) + "/wexon-fuzz-XXXXXX";
            if (::mkdtemp(tmpl.data()) != nullptr) {
                return tmpl;
            }
        }
        std::abort();
    }();
    static const bool cleanup = [] {
        std::atexit([] {
            ::unlink((folder + "/" + kSavedName).c_str());
            ::rmdir(folder.c_str());
        });
        return true;
    }();
    (void)cleanup;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t nul = input.find('\0', at);
        parts.push_back(
            input.substr(at, nul == std::string_view::npos ? std::string_view::npos : nul - at));
        if (nul == std::string_view::npos) {
            break;
        }
        at = nul + 1;
    }

    // The document is read from memory through a file name, as load() wants.
    const int fd = ::memfd_create("document", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, parts[0].data(), parts[0].size()) ==
               static_cast<ssize_t>(parts[0].size()));
    SharedPreferences doc;
    doc.load("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);
    FUZZ_CHECK(onlyCrLf(doc.text()));
    if (doc.loadError().empty()) {
        FUZZ_CHECK(doc.text().size() + 2 <= SharedPreferences::kMaxBytes);
    } else {
        FUZZ_CHECK(doc.text() == SharedPreferences::declaration());
    }

    for (std::size_t i = 1; i + 1 < parts.size(); i += 2) {
        const std::string key = toUpper(blanksForLineBreaks(parts[i]));
        const std::string value = blanksForLineBreaks(parts[i + 1]);
        FUZZ_CHECK(doc.set(parts[i], parts[i + 1], false).ok());
        FUZZ_CHECK(doc.text().find("<" + key + ">" + value + "</" + key + ">") !=
                   std::string::npos);
        FUZZ_CHECK(onlyCrLf(doc.text()));
    }

    const std::string path = saveFolder() + "/" + kSavedName;
    FileResult saved = doc.save(path);
    FUZZ_CHECK(saved.ok() == (doc.text().size() + 2 <= SharedPreferences::kMaxBytes));
    if (saved.ok()) {
        SharedPreferences again;
        again.load(path);
        FUZZ_CHECK(again.loadError().empty());
        FUZZ_CHECK(again.text() == doc.text());
    }
    return 0;
}
