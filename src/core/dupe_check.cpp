#include "core/dupe_check.h"

#include "core/text_util.h"

namespace wexon::core {

namespace {

bool inListedKeyRange(int key) {
    return key >= 46 && key <= 90;
}

bool isSlashOrDigit(char c) {
    return c >= 47 && c <= 57;
}

} // namespace

PartialDupes showPartialDupes(const DupeIndex& index, const PartialDupeQuery& q) {
    PartialDupes out;
    const bool listedKey = inListedKeyRange(q.key);
    std::string typed(q.callBox);
    typed += static_cast<char>(q.key);

    if (listedKey && q.listOn) {
        out.list = index.partialList(typed, q.band);
    }

    const char* dialog = nullptr;
    if (q.callBox.size() > 2 && !out.list.empty()) {
        dialog = kPossibleDuplicate;
    } else if (q.loggedOn) {
        dialog = " ";
    }

    // The check of the third character settles the message line only for the
    // key that makes a three-character call; on longer calls it leaves
    // "Possible Duplicate!" standing.
    if (typed.size() == 3 && listedKey) {
        if (!isSlashOrDigit(typed[1]) && !isSlashOrDigit(typed[2])) {
            out.beep = true;
            dialog = kNotNumericWarning;
        } else {
            dialog = " ";
        }
    }
    if (dialog != nullptr) {
        out.dialog = std::string(dialog);
    }
    return out;
}

std::string duplicateMessage(const QsoRecord& record, int number) {
    return "Duplicate " + record.call + " " + record.qsoDate + " " + record.qsoTime + " ON " +
           record.band + "  Rec#  " + std::to_string(number);
}

std::string remoteDuplicateMessage(const RemoteContact& contact) {
    const QsoRecord& r = contact.record;
    return "Duplicate " + r.call + " " + r.qsoDate + " " + r.qsoTime + " ON " + r.band +
           "  worked by " +
           (contact.station.empty() ? std::string("another station") : contact.station);
}

DupeCheck dupcheck(const DupeIndex& index, const std::vector<QsoRecord>& records,
                   std::string_view call, std::string_view band, bool listPrevious) {
    return dupcheck(index, records, DupeIndex::RemoteMap{}, call, band, listPrevious);
}

DupeCheck dupcheck(const DupeIndex& index, const std::vector<QsoRecord>& records,
                   const DupeIndex::RemoteMap& remotes, std::string_view call,
                   std::string_view band, bool listPrevious) {
    DupeCheck out;
    if (call.empty()) {
        return out;
    }
    for (int number : index.recordsWithCall(call)) {
        // The index is rebuilt with the store; a number it still holds for a
        // record that has gone, or whose call has changed, is passed over.
        if (number < 1 || static_cast<std::size_t>(number) > records.size()) {
            continue;
        }
        const QsoRecord& r = records[static_cast<std::size_t>(number - 1)];
        if (!equalsIgnoreCase(r.call, call)) {
            continue;
        }
        if (listPrevious) {
            out.previous.push_back(logListRow(r, number));
        }
        if (!out.found() && equalsIgnoreCase(r.band, band)) {
            out.duplicate = number;
            out.message = duplicateMessage(r, number);
            if (!listPrevious) {
                break;
            }
        }
    }
    if (out.found()) {
        return out;
    }
    for (std::string_view id : index.remotesWithCallOnBand(call, band)) {
        auto it = remotes.find(id);
        // An id the index still holds for a contact that has gone is passed over.
        if (it == remotes.end() || !equalsIgnoreCase(it->second.record.call, call) ||
            !equalsIgnoreCase(it->second.record.band, band)) {
            continue;
        }
        out.remoteId = it->first;
        out.message = remoteDuplicateMessage(it->second);
        break;
    }
    return out;
}

} // namespace wexon::core
