#include "core/entry_effects.h"

#include <algorithm>

namespace wexon::core {

bool EntryEffects::has(EntryEffectKind kind) const {
    return count(kind) > 0;
}

bool EntryEffects::hasTextChanged(EntryBox box) const {
    return std::any_of(m_list.begin(), m_list.end(), [box](const EntryEffect& e) {
        return e.kind == EntryEffectKind::TextChanged && e.box == box;
    });
}

int EntryEffects::count(EntryEffectKind kind) const {
    return static_cast<int>(std::count_if(m_list.begin(), m_list.end(),
                                          [kind](const EntryEffect& e) { return e.kind == kind; }));
}

std::optional<EntryEffect> EntryEffects::lastMessage() const {
    for (auto it = m_list.rbegin(); it != m_list.rend(); ++it) {
        if (it->kind == EntryEffectKind::Message) {
            return *it;
        }
    }
    return std::nullopt;
}

std::vector<std::string> EntryEffects::prompts() const {
    std::vector<std::string> out;
    for (const auto& e : m_list) {
        if (e.kind == EntryEffectKind::VoicePrompt) {
            out.push_back(e.text);
        }
    }
    return out;
}

} // namespace wexon::core
