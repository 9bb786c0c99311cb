#include "fake_platform.h"

namespace pravelo::fakes {

namespace {

class StringInput : public platform::TextInput {
  public:
    explicit StringInput(std::string text) : text_(std::move(text)) {}
    bool atEnd() override { return pos_ >= text_.size(); }
    std::string readLine(std::size_t maxBytes) override {
        if (atEnd())
            throw Error(platform::errnum::InputPastEnd, "Læsning forbi slutningen af filen");
        auto end = text_.find_first_of("\r\n", pos_);
        if (end == std::string::npos) end = text_.size();
        if (end - pos_ > maxBytes) end = pos_ + maxBytes;
        std::string line = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n')) {
            ++pos_;
            if (text_[pos_ - 1] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        }
        return line;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

class FakeDocument : public platform::OfficeDocument {
  public:
    FakeDocument(FakeOffice& office, std::string path) : office_(office), path_(std::move(path)) {}
    void close(int saveChanges) override {
        office_.maybeFail("close:" + std::to_string(saveChanges) + ":" + path_);
        if (saveChanges == SaveChanges && office_.onSave) office_.onSave(path_);
    }

  private:
    FakeOffice& office_;
    std::string path_;
};

class FakeApplication : public platform::OfficeApplication,
                        platform::OfficeOptions,
                        platform::OfficeDocuments {
  public:
    explicit FakeApplication(FakeOffice& office) : office_(office) { ++office_.running; }
    ~FakeApplication() override {
        if (quit_) return;
        if (visible_) {
            ++office_.handedOver;
        } else {
            office_.calls.push_back("dropped");
        }
        --office_.running;
    }
    void setVisible(bool visible) override {
        office_.maybeFail(std::string("visible:") + (visible ? "1" : "0"));
        visible_ = visible;
    }
    void setScreenUpdating(bool on) override {
        office_.maybeFail(std::string("screen:") + (on ? "1" : "0"));
    }
    platform::OfficeOptions& options() override { return *this; }
    platform::OfficeDocuments& documents() override { return *this; }
    void setCheckSpellingAsYouType(bool on) override {
        office_.maybeFail(std::string("spelling:") + (on ? "1" : "0"));
    }
    void setCheckGrammarAsYouType(bool on) override {
        office_.maybeFail(std::string("grammar:") + (on ? "1" : "0"));
    }
    std::shared_ptr<platform::OfficeDocument> open(const std::string& fileName) override {
        office_.maybeFail("open:" + fileName);
        active_ = fileName;
        return std::make_shared<FakeDocument>(office_, fileName);
    }
    void run(const std::string& macroName) override {
        office_.maybeFail("run:" + macroName);
        if (!office_.activeAfterMacro.empty()) active_ = office_.activeAfterMacro;
    }
    std::shared_ptr<platform::OfficeDocument> activeDocument() override {
        office_.maybeFail("active");
        return std::make_shared<FakeDocument>(office_, active_);
    }
    void quit() override {
        quit_ = true;
        --office_.running;
        office_.maybeFail("quit");
    }

  private:
    FakeOffice& office_;
    std::string active_;
    bool visible_ = false;
    bool quit_ = false;
};

}  // namespace

std::unique_ptr<platform::TextInput> FakeFileSystem::openForInput(const std::string& path) {
    ++opens;
    if (folders.count(path) || folders.count(path + "/")) {
        throw Error(platform::errnum::FileAccess, "Sti-/filadgangsfejl: " + path);
    }
    if (unreadable.count(path)) throw Error(platform::errnum::PermissionDenied, "Ingen adgang");
    auto it = files.find(path);
    if (it == files.end()) throw Error(platform::errnum::FileNotFound, "Filen blev ikke fundet");
    return std::make_unique<StringInput>(it->second);
}

void FakeFileSystem::appendLine(const std::string& path, const std::string& text) {
    if (unwritable.count(path) || unwritable.count(folderOf(path)) || folders.count(path)) {
        throw Error(platform::errnum::PermissionDenied, "Ingen adgang: " + path);
    }
    if (absent.count(folderOf(path))) {
        throw Error(platform::errnum::PathNotFound, "Stien findes ikke: " + path);
    }
    files[path] += text + "\r\n";
}

void FakeFileSystem::createFolder(const std::string& folder) {
    madeFolders.push_back(folder);
    if (unwritable.count(folder)) {
        throw Error(platform::errnum::PermissionDenied, "Mappen kan ikke oprettes: " + folder);
    }
    absent.erase(folder);
}

void FakeFileSystem::copyFile(const std::string& from, const std::string& to) {
    auto source = files.find(from);
    if (source == files.end() || unreadable.count(from)) {
        throw Error(platform::errnum::FileNotFound, "Filen kan ikke kopieres: " + from);
    }
    if (files.count(to) || unwritable.count(folderOf(to)) || absent.count(folderOf(to))) {
        throw Error(platform::errnum::PermissionDenied, "Filen kan ikke oprettes: " + to);
    }
    files[to] = source->second;
}

std::unique_ptr<platform::OfficeApplication> FakeOffice::startNew() {
    maybeFail("start");
    return std::make_unique<FakeApplication>(*this);
}

std::int32_t FakeRegistry::openKey(Key, const std::string& subKey, std::uint32_t,
                                   std::uint32_t access, Key& result) {
    accessAsked.push_back(access);
    if (!keys.count(subKey) || denied.count(subKey)) return 2;
    handles_.push_back(subKey);
    result = handles_.size();
    ++open;
    return 0;
}

std::int32_t FakeRegistry::queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                                      unsigned char* data, std::uint32_t& size) {
    const auto& values = keys.at(handles_.at(key - 1));
    auto it = values.find(valueName);
    if (it == values.end()) return 2;
    if (it->second.data.size() > size) return 234;
    type = it->second.type;
    std::copy(it->second.data.begin(), it->second.data.end(), data);
    size = static_cast<std::uint32_t>(it->second.data.size());
    return 0;
}

}  // namespace pravelo::fakes
