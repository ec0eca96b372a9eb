#include "output/station_cabrillo.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <tuple>

#include "output/cabrillo3.h"

namespace wexon::output {

std::string writeStationCabrillo(const SummarySheet& sheetIn, const std::string& ownCall,
                                 const std::string& contestMode,
                                 std::vector<StationContact> contacts) {
    std::stable_sort(contacts.begin(), contacts.end(),
                     [](const StationContact& a, const StationContact& b) {
                         return std::tie(a.record.qsoDate, a.record.qsoTime) <
                                std::tie(b.record.qsoDate, b.record.qsoTime);
                     });
    SummarySheet sheet = sheetIn;
    sheet.op = SummarySheet::Operator::Multiple;
    if (sheet.transmitter == SummarySheet::Transmitter::None) {
        sheet.transmitter = SummarySheet::Transmitter::One;
    }
    // Operators: the sheet's, then each contact's in order of first contact.
    std::vector<std::string> operators;
    std::set<std::string> seen;
    std::istringstream given(sheet.operators);
    for (std::string call; given >> call;) {
        if (seen.insert(call).second) {
            operators.push_back(call);
        }
    }
    std::vector<core::QsoRecord> records;
    records.reserve(contacts.size());
    double points = 0;
    for (const StationContact& c : contacts) {
        records.push_back(c.record);
        points += c.record.points;
        if (!c.op.empty() && c.op.find_first_of(" ,\t\r\n") == std::string::npos &&
            seen.insert(c.op).second) {
            operators.push_back(c.op);
        }
    }
    sheet.operators.clear();
    for (const std::string& op : operators) {
        sheet.operators += (sheet.operators.empty() ? "" : " ") + op;
    }
    CabrilloLog log;
    log.ownCall = ownCall;
    log.contestMode = contestMode;
    log.qsos = &records;
    log.totalPoints = std::llround(points);
    log.prefixCount = countPrefixes(records);
    std::string out = writeCabrillo3(sheet, log);
    if (sheet.transmitter != SummarySheet::Transmitter::Two) {
        return out;
    }
    // Each QSO line ends with its transmitter column just before CR LF.
    std::size_t index = 0;
    std::size_t at = 0;
    while ((at = out.find("\r\nQSO:", at)) != std::string::npos && index < contacts.size()) {
        std::size_t end = out.find("\r\n", at + 2);
        if (end == std::string::npos) {
            break;
        }
        out[end - 1] = contacts[index].transmitter == 1 ? '1' : '0';
        ++index;
        at = end;
    }
    return out;
}

} // namespace wexon::output
