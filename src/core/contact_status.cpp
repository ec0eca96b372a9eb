#include "core/contact_status.h"

#include "core/wpx_prefix.h"

namespace wexon::core {

ContactStatusResult contactStatus(const DupeIndex& dupes, const PrefixList& prefixes,
                                  std::string_view call, std::string_view band) {
    ContactStatusResult r;
    r.prefix = derivePrefix(call);
    if (!call.empty() && dupes.hasCallOnBand(call, band)) {
        r.status = ContactStatus::Dupe;
    } else if (isNewPrefix(prefixes, r.prefix)) {
        r.status = ContactStatus::NewPrefix;
    }
    return r;
}

const char* contactStatusWords(ContactStatus status) {
    switch (status) {
    case ContactStatus::Dupe:
        return "dupe";
    case ContactStatus::NewPrefix:
        return "new prefix";
    case ContactStatus::Ordinary:
        break;
    }
    return "";
}

} // namespace wexon::core
