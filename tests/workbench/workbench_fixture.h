// A MainDialog against the real library's catalogue and project files, with a
// recording view, the hex editor's core, a fake programmer and empty settings
// for every test.
#pragma once

#include "MainDialog.h"
#include "fake_hex_edit.h"
#include "fake_programmer.h"
#include "memory_settings.h"
#include "recording_view.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace korvid::workbench::testing {

inline const std::string kLibraryName = "Vostrel 8051 ISP(R5) 编程器";

inline int IndexOf(const std::vector<std::string>& items, const std::string& item) {
    const auto found = std::find(items.begin(), items.end(), item);
    EXPECT_NE(found, items.end()) << item;
    return static_cast<int>(found - items.begin());
}

class WorkbenchTest : public ::testing::Test {
protected:
    MainDialog& Dialog() {
        if (!dialog_) {
            dialog_ = useLibrary_ ? std::make_unique<MainDialog>(view_, hex_, library_,
                                                                 settings_, LibraryCatalogue())
                                  : std::make_unique<MainDialog>(view_, hex_, programmer_,
                                                                 settings_, LibraryCatalogue());
            dialog_->OnInitDialog();
        }
        return *dialog_;
    }
    // What the window shows now.
    const MainDialogState& Shown() {
        Dialog();
        return view_.state;
    }
    // A new start of the program with the same settings.
    void Restart() {
        dialog_.reset();
        view_ = RecordingView();
        hex_.core.SetData(nullptr, 0);
    }

    // Selects a series and a part as the user would.
    void Choose(const std::string& series, const std::string& part) {
        Dialog().OnSeriesChanged(IndexOf(Shown().series.items, series));
        Dialog().OnPartChanged(IndexOf(Shown().part.items, part));
    }
    std::string SelectedPart() { return Shown().part.items.at(Shown().part.selected); }

    // name is UTF-8, as the model's paths are; std::filesystem's conversions of
    // narrow text differ between the systems, so the path is put together as text.
    std::string FilePath(const std::string& name) const { return dir_.path().string() + "/" + name; }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string path = FilePath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Queues one "Load": the area (data address empty for the code area) and the file.
    void QueueLoad(const std::string& path, const std::string& dataAddress = std::string()) {
        view_.areaAnswers.push_back([dataAddress](AreaDialog& area) {
            if (!dataAddress.empty()) {
                area.OnDataAreaClicked();
                area.OnAddressEdited(dataAddress);
            }
            return true;
        });
        view_.openFiles.push_back(path);
    }
    void Load(const std::string& path, const std::string& dataAddress = std::string()) {
        QueueLoad(path, dataAddress);
        Dialog().OnLoad();
    }

    std::vector<uint8_t> Image() const {
        std::vector<uint8_t> image(hex_.GetDataSize());
        hex_.GetData(image.data(), static_cast<uint32_t>(image.size()));
        return image;
    }
    bool CodeCommandsEnabled() {
        return Shown().saveKpjEnabled && Shown().updateTargetEnabled &&
               Shown().updateProgrammerEnabled;
    }
    // The user types into the hex editor; the editor tells the dialog.
    bool Type(std::string_view characters) {
        const bool taken = hex_.Type(characters);
        if (taken) {
            Dialog().OnImageEdited();
        }
        return taken;
    }

    RecordingView view_;
    FakeHexEdit hex_;
    FakeProgrammer programmer_;
    LibraryOperations library_;
    MemorySettings settings_;
    bool useLibrary_ = false;  // the commands call the library's exports instead
    ScratchFolder dir_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace korvid::workbench::testing
