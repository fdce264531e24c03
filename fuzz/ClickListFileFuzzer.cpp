// Any bytes as "tapporas.xml", read through the functions the controller uses at start, then saved and read again.
#include "FuzzSupport.h"

#include "model/ClickListFile.h"
#include "pixels/PictureText.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clicks = std::vector<TMouseObj>;

std::vector<const TMouseObj*> View(const Clicks& clicks) {
    std::vector<const TMouseObj*> view;
    for (const TMouseObj& click : clicks) {
        view.push_back(&click);
    }
    return view;
}

// What the first tick of a picture click does with the stored text.
void DecodePictures(const Clicks& clicks) {
    for (const TMouseObj& click : clicks) {
        try {
            const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(click.fBMP);
            FuzzCheck(!picture || picture->width >= 0, "a decoded picture has a size");
        } catch (const std::invalid_argument&) {
            // Text that is no base64 ends the tick with that error: nothing more to check.
        }
    }
}

void CheckKeptAside(const ClickListLoad& load, const std::string& path, const std::string& original) {
    FuzzCheck(!load.error.empty(), "an unreadable file comes with a reason");
    FuzzCheck(!load.keptAsidePath.empty(), "an unreadable file is kept aside");
    FuzzCheck(!std::filesystem::exists(path), "the unreadable file no longer stands in the list's place");
    FuzzCheck(ReadFuzzFile(load.keptAsidePath) == original, "the kept file holds every byte of the original");
}

// Saving what was read and reading it back gives the same clicks, and saving those gives the same text.
void CheckSaveRoundTrip(const Clicks& clicks, const std::string& path) {
    const std::string saved = ClickListText(View(clicks));
    SaveClickListFile(path, View(clicks));
    FuzzCheck(ReadFuzzFile(path) == saved, "the saved file holds the list text");
    const ClickListLoad reload = LoadClickListFile(path);
    FuzzCheck(reload.status == ClickListLoad::Loaded, "a saved list reads back");
    FuzzCheck(reload.clicks.size() == clicks.size(), "a saved list reads back with every click");
    FuzzCheck(ClickListText(View(reload.clicks)) == saved, "a saved list reads back unchanged");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzFolder() + "/" + kClickListFileName;
    WriteFuzzFile(path, data, size);
    const ClickListLoad load = LoadClickListFile(path);
    if (load.status == ClickListLoad::Unreadable) {
        CheckKeptAside(load, path, std::string(reinterpret_cast<const char*>(data), size));
    } else {
        FuzzCheck(load.status == ClickListLoad::Loaded, "an existing file is read or kept aside");
        CheckSaveRoundTrip(load.clicks, path);
        DecodePictures(load.clicks);
    }
    EmptyFuzzFolder();
    return 0;
}
