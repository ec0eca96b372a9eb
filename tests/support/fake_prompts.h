#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "ui/common/prompts.h"

namespace wexon::test {

// Answers the program's questions from a script and records everything it was
// shown. An unscripted question is answered No / Cancel and recorded, so a test
// never blocks on a dialog.
class FakePrompts : public ui::Prompts {
  public:
    struct Shown {
        QString kind; // "message", "question", "input", "open", "save"
        QString title;
        QString text;
        QString defaultText;
    };

    std::vector<Shown> shown;
    std::deque<bool> questionAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> fileAnswers;
    int beeps = 0;

    void message(const QString& title, const QString& text, Icon) override {
        shown.push_back({"message", title, text, {}});
    }
    bool question(const QString& title, const QString& text) override {
        shown.push_back({"question", title, text, {}});
        if (questionAnswers.empty()) {
            return false;
        }
        bool a = questionAnswers.front();
        questionAnswers.pop_front();
        return a;
    }
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& defaultText) override {
        shown.push_back({"input", title, prompt, defaultText});
        if (inputAnswers.empty()) {
            return std::nullopt;
        }
        auto a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    QString openFile(const QString& title, const QString&, const QString&) override {
        shown.push_back({"open", title, {}, {}});
        return popFile();
    }
    QString saveFile(const QString& title, const QString&, const QString& fileName,
                     const QString&) override {
        shown.push_back({"save", title, {}, fileName});
        return popFile();
    }
    void beep() override { ++beeps; }

    // Titles of everything shown, in order.
    std::vector<QString> titles() const {
        std::vector<QString> t;
        for (const auto& s : shown) {
            t.push_back(s.title);
        }
        return t;
    }
    bool wasShown(const QString& title) const {
        for (const auto& s : shown) {
            if (s.title == title) {
                return true;
            }
        }
        return false;
    }
    const Shown* find(const QString& title) const {
        for (const auto& s : shown) {
            if (s.title == title) {
                return &s;
            }
        }
        return nullptr;
    }

  private:
    QString popFile() {
        if (fileAnswers.empty()) {
            return {};
        }
        QString a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

} // namespace wexon::test
