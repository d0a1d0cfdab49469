// The web page's side of the converter: the page's two lists and two fields, its file picker and
// downloads, and its in-page message dialog, as window services of the same workflow the windows run.
#include "Application.h"
#include "ChoiceList.h"
#include "ConversionReport.h"
#include "Converter.h"
#include "FileFilterList.h"
#include "HandlerFailure.h"
#include "ItemFileConversion.h"
#include "MemoryFileSteps.h"
#include "WindowServices.h"

#include <emscripten.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The page's glue (app.js) hands the module an object `page` that owns the document.
EM_JS(void, jsAppend, (int list, const char* text), { Module.page.append(list, UTF8ToString(text)); });
EM_JS(void, jsSelect, (int list, int index), { Module.page.select(list, index); });
EM_JS(int, jsSelected, (int list), { return Module.page.selected(list); });
EM_JS(void, jsField, (int field, const char* text), { Module.page.field(field, UTF8ToString(text)); });
EM_JS(void, jsMessage, (const char* caption, const char* text, const char* icon),
      { Module.page.message(UTF8ToString(caption), UTF8ToString(text), UTF8ToString(icon)); });
EM_JS(void, jsDownload, (const char* name, const std::uint8_t* bytes, std::size_t size),
      { Module.page.download(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size)); });
EM_JS(void, jsAccept, (const char* types), { Module.page.accept(UTF8ToString(types)); });
EM_JS(void, jsBatchGame, (const char* text), { Module.page.batchGame(UTF8ToString(text)); });
EM_JS(void, jsBatchOutput, (const char* name, const std::uint8_t* bytes, std::size_t size),
      { Module.page.batchOutput(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size)); });

namespace relicwright::web {
namespace {

constexpr const char* kFolderText = "A folder cannot be loaded. Drop one item file.";

// The in-page dialog draws each icon with a class of its own.
const char* iconClass(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Stop:
        return "stop";
    case MessageIcon::Exclamation:
        return "exclamation";
    case MessageIcon::None:
        break;
    }
    return "";
}

void message(const std::string& text, MessageIcon icon) {
    jsMessage(RELICWRIGHT_NAME, text.c_str(), iconClass(icon));
}

int id(Control control) {
    return static_cast<int>(control);
}

// A drop-down of the page: the entries are kept here as well, so reading them costs no trip to
// the document; the selection is the document's, as the user may change it at any time.
class PageChoiceList final : public ChoiceList {
public:
    explicit PageChoiceList(int id) : id_(id) {}

    std::size_t count() const override { return entries_.size(); }
    std::string entry(std::size_t index) const override { return entries_.at(index); }
    void append(const std::string& text) override {
        entries_.push_back(text);
        jsAppend(id_, text.c_str());
    }
    void setSelection(std::optional<std::size_t> index) override {
        jsSelect(id_, index && *index < entries_.size() ? static_cast<int>(*index) : -1);
    }
    std::optional<std::size_t> selectedIndex() const override {
        const int index = jsSelected(id_);
        if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(index);
    }

private:
    int id_;
    std::vector<std::string> entries_;
};

// A save is answered with a download under the proposed name. The page's Load opens the browser's
// picker itself, before the module may have arrived, and its answer comes later as rw_load: there is
// no open dialog that could answer while the workflow waits.
class PageServices final : public WindowServices {
public:
    const std::optional<std::string>& savePath() const { return savePath_; }
    void forgetSave() { savePath_.reset(); }

    FileChoice promptOpenFile(const std::string&, unsigned) override { return FileChoice::cancelled(); }
    FileChoice promptSaveFile(const std::string&, const std::string& defaultExtension,
                              const std::string& initialName, unsigned) override {
        std::string name = initialName;
        if (!defaultExtension.empty() && FileChoice::fromPath(name).extension.empty()) {
            name += "." + defaultExtension;
        }
        FileChoice choice = FileChoice::fromPath(name);
        choice.confirmed = true;
        savePath_ = choice.path;
        return choice;
    }
    void showMessage(const std::string& text) override { message(text, MessageIcon::None); }
    void setSourceGameField(const std::string& text) override {
        jsField(id(Control::SourceGameField), text.c_str());
    }
    void setItemField(const std::string& text) override { jsField(id(Control::ItemField), text.c_str()); }
    void reportOutOfMemory() override {
        message(kOutOfMemoryText, Application::iconFor(HandlerFailure::Kind::OutOfMemory));
    }

private:
    std::optional<std::string> savePath_;
};

// The file types of the open dialog's filter as the file picker takes them: ".itm,.hif". The
// picker offers "All files" beside them by itself.
std::string pickerTypes(const std::string& filter) {
    const FileFilterList filters = FileFilterList::parse(filter);
    std::vector<std::string> types;
    for (const FileFilterList::Filter& entry : filters.filters()) {
        for (const std::string& pattern : entry.patterns) {
            if (pattern.rfind("*.", 0) == 0 &&
                std::find(types.begin(), types.end(), pattern.substr(1)) == types.end()) {
                types.push_back(pattern.substr(1));
            }
        }
    }
    std::string joined;
    for (const std::string& type : types) {
        joined += (joined.empty() ? "" : ",") + type;
    }
    return joined;
}

// Files picked or dropped together, in memory of their own so that the loaded file stays as it is.
// Each name is one path: a name given twice is one file given twice, as on a command line.
struct Batch {
    MemoryFileSteps files;
    std::vector<std::string> paths;
    std::set<std::string> names;

    void add(const std::string& name) { paths.push_back(name); }
};

struct Page {
    MemoryFileSteps& memory = static_cast<MemoryFileSteps&>(platformFileSteps());
    std::unique_ptr<Batch> batch;
    PageChoiceList itemList{id(Control::ItemList)};
    PageChoiceList targetList{id(Control::TargetList)};
    PageServices services;
    Converter converter{itemList, targetList, services, memory};
};

std::unique_ptr<Page> page;

// The page's dispatch guard: whatever escapes a handler is said in the in-page dialog.
template <class Handler> void guarded(Handler&& handler) {
    if (const auto failure = runGuarded(handler)) {
        const bool outOfMemory = failure->kind == HandlerFailure::Kind::OutOfMemory;
        message(outOfMemory ? kOutOfMemoryText : failure->text, Application::iconFor(failure->kind));
    }
}

int errorOfReason(const std::string& reason) {
    if (reason == "Folder") {
        return EISDIR; // what opening a folder gives on disk
    }
    return reason == "NotFoundError" ? ENOENT : EACCES;
}

} // namespace
} // namespace relicwright::web

using namespace relicwright;
using namespace relicwright::web;

extern "C" {

EMSCRIPTEN_KEEPALIVE void rw_start() {
    guarded([] {
        page = std::make_unique<Page>();
        jsAccept(pickerTypes(kOpenFilter).c_str());
        for (const GameVariant game : {GameVariant::Hellfire, GameVariant::Diablo}) {
            jsBatchGame(std::string(variantText(game)).c_str());
        }
        page->converter.fillLists();
        page->converter.pushToWindow();
    });
}

// A file the user picked or dropped: its name and its first bytes, all the load reads.
EMSCRIPTEN_KEEPALIVE void rw_load(const char* name, const std::uint8_t* bytes, std::size_t size) {
    guarded([&] {
        page->memory.clear();
        page->memory.put(name, MemoryFileSteps::Bytes(bytes, bytes + size));
        page->converter.loadFile(FileChoice::fromPath(name));
    });
    page->memory.clear();
}

// A file the browser could not read; `reason` is the name of the browser's error.
EMSCRIPTEN_KEEPALIVE void rw_loadUnreadable(const char* name, const char* reason) {
    guarded([&] {
        page->memory.clear();
        page->memory.refuse(name, errorOfReason(reason));
        page->converter.loadFile(FileChoice::fromPath(name));
    });
    page->memory.clear();
}

EMSCRIPTEN_KEEPALIVE void rw_applyTargetGame() {
    guarded([] { page->converter.applyTargetGame(); });
}

EMSCRIPTEN_KEEPALIVE void rw_save() {
    guarded([] {
        page->memory.clear();
        page->services.forgetSave();
        page->converter.saveOutputFile();
        // Only a file the save really wrote is handed to the browser.
        const auto& path = page->services.savePath();
        if (const MemoryFileSteps::Bytes* written = path ? page->memory.find(*path) : nullptr) {
            jsDownload(FileChoice::fromPath(*path).fileName.c_str(), written->data(), written->size());
        }
    });
    page->memory.clear();
}

// A drop of one folder, which the load cannot take.
EMSCRIPTEN_KEEPALIVE void rw_refuseDrop() {
    message(kFolderText, MessageIcon::Stop);
}

// The help page's address at the topic of the dialog in front: the About box while it is open.
EMSCRIPTEN_KEEPALIVE const char* rw_helpAddress(int aboutBoxOpen) {
    static std::string address;
    address = Application::helpAddress(
        Application::kHelpPageName,
        Application::helpTopic(aboutBoxOpen != 0 ? kAboutBoxDialog : kMainWindowDialog));
    return address.c_str();
}

EMSCRIPTEN_KEEPALIVE void rw_helpFailed() {
    message(Application::kHelpFailedText, MessageIcon::Exclamation);
}

// The game a file of a batch would go to by its extension, the other one; empty for neither.
EMSCRIPTEN_KEEPALIVE const char* rw_otherGame(const char* name) {
    const auto game = variantOfPath(name);
    return game ? variantText(otherVariant(*game)).data() : "";
}

EMSCRIPTEN_KEEPALIVE void rw_batchBegin() {
    page->batch = std::make_unique<Batch>();
}

// A file of the batch, as rw_load takes one.
EMSCRIPTEN_KEEPALIVE void rw_batchAdd(const char* name, const std::uint8_t* bytes, std::size_t size) {
    guarded([&] {
        if (page->batch->names.insert(name).second) {
            page->batch->files.put(name, MemoryFileSteps::Bytes(bytes, bytes + size));
        }
        page->batch->add(name);
    });
}

// A file of the batch the browser could not read, or "Folder" for a folder.
EMSCRIPTEN_KEEPALIVE void rw_batchAddUnreadable(const char* name, const char* reason) {
    guarded([&] {
        if (page->batch->names.insert(name).second) {
            page->batch->files.refuse(name, errorOfReason(reason));
        }
        page->batch->add(name);
    });
}

// Converts the batch to `game` as relicwright --convert-to does, hands each written file to the
// page in the given order and queues the summary, if there is one. 0 when the batch broke off, so
// that the page hands over no part of it.
EMSCRIPTEN_KEEPALIVE int rw_batchRun(const char* game) {
    bool ended = false;
    guarded([&] {
        Batch& batch = *page->batch;
        const GameVariant target = variantFromText(game).value_or(GameVariant::Hellfire);
        const ConversionReport report = ConversionReport::run(target, batch.paths, batch.files);
        const ItemFileConversion naming(ConversionOptions{target, std::nullopt, {}, {}, ExistingFile::Keep},
                                        batch.files);
        // What the batch wrote is what it holds beyond the files it was given.
        std::set<std::string> handed;
        for (const std::string& path : batch.paths) {
            const std::string output = naming.plan(path).outputPath;
            const MemoryFileSteps::Bytes* written = batch.files.find(output);
            if (written != nullptr && !batch.names.contains(output) && handed.insert(output).second) {
                jsBatchOutput(output.c_str(), written->data(), written->size());
            }
        }
        if (const std::string summary = report.summary(); !summary.empty()) {
            message(summary, report.icon());
        }
        ended = true;
    });
    page->batch.reset();
    return ended ? 1 : 0;
}

// What the page could not do with a batch's results, in the program's message box.
EMSCRIPTEN_KEEPALIVE void rw_batchFailed(const char* text) {
    message(text, MessageIcon::Stop);
}
}
