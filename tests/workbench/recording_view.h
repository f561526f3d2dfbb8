// A front end for tests: keeps the last state the workbench rendered, records
// every message and dialog, and answers them from queues.
#pragma once

#include "AreaDialog.h"
#include "MainDialogState.h"
#include "MainDialogView.h"
#include "MaxCountDialog.h"
#include "ReflashProgress.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace korvid::workbench::testing {

class RecordingView : public MainDialogView {
public:
    void Render(const MainDialogState& rendered) override {
        state = rendered;
        ++renders;
    }
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message);
        return Next(answers, message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes
                                                                       : MessageAnswer::Ok);
    }
    std::string ChooseFileToOpen(const std::vector<FileFilter>& filters) override {
        openFilters.push_back(filters);
        return Next(openFiles, std::string());
    }
    std::string ChooseFileToSave(const std::vector<FileFilter>& filters,
                                 std::string_view defaultExtension) override {
        saveDialogs.push_back({filters, std::string(defaultExtension)});
        std::string file = Next(saveFiles, std::string());
        if (duringSave) {
            duringSave();
        }
        return file;
    }
    // Each dialog goes to the next queued answer; without one it is accepted.
    bool RunAreaDialog(AreaDialog& dialog) override {
        ranDialogs.push_back("area");
        return Next(areaAnswers, AreaAnswer([](AreaDialog&) { return true; }))(dialog);
    }
    bool RunMaxCountDialog(MaxCountDialog& dialog) override {
        ranDialogs.push_back("maxCount");
        return Next(maxCountAnswers,
                    MaxCountAnswer([](MaxCountDialog& d) { return d.OnOk().accepted; }))(dialog);
    }
    void RunAboutDialog(std::string_view versionText) override {
        ranDialogs.push_back("about");
        aboutTexts.emplace_back(versionText);
    }
    // Ticks as the dialog's timer would (without its pauses) until the re-flash ends.
    void RunProgressDialog(ReflashProgress& progress) override {
        ranDialogs.push_back("progress");
        while (progress.OnTick()) {
            progressStates.push_back(progress.Present());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        progressStates.push_back(progress.Present());
    }

    using AreaAnswer = std::function<bool(AreaDialog&)>;
    using MaxCountAnswer = std::function<bool(MaxCountDialog&)>;

    MainDialogState state;
    int renders = 0;
    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    std::deque<std::string> openFiles;
    std::vector<std::vector<FileFilter>> openFilters;
    std::deque<std::string> saveFiles;
    std::vector<std::pair<std::vector<FileFilter>, std::string>> saveDialogs;
    std::function<void()> duringSave;  // runs while the save dialog is up
    std::deque<AreaAnswer> areaAnswers;
    std::deque<MaxCountAnswer> maxCountAnswers;
    std::vector<std::string> ranDialogs;
    std::vector<std::string> aboutTexts;
    std::vector<ReflashProgress::State> progressStates;

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

}  // namespace korvid::workbench::testing
