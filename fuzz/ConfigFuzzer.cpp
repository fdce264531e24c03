// Any bytes as "TapporaConfig.xml", opened as the controller opens it at start, read, saved and opened again.
#include "FuzzSupport.h"

#include "model/Config.h"
#include "model/XmlFile.h"

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Reads every value the program reads; a value that does not convert throws, as it does for the controller.
template <class Read> void TryRead(Read read) {
    try {
        static_cast<void>(read());
    } catch (const std::invalid_argument&) {
    }
}

void ReadEverything(const TConfig& config) {
    const TXMLFrameType frame = config.GetFrame();
    TryRead([&] { return frame.Getautorun(); });
    TryRead([&] { return frame.Getmax(); });
    TryRead([&] { return frame.Getleft(); });
    TryRead([&] { return frame.Gettop(); });
    TryRead([&] { return frame.Getwidth(); });
    TryRead([&] { return frame.Getheight(); });
    const TXMLColsType cols = config.GetCols();
    for (int i = 0; i < cols.Count(); ++i) {
        const TXMLColType col = cols.Item(i);
        col.GetName();
        col.GetAlign();
        TryRead([&] { return col.GetVisible(); });
        TryRead([&] { return col.GetWidth(); });
        TryRead([&] { return col.GetIndex(); });
    }
}

std::string Markup(const std::string& folder) {
    pugi::xml_document document;
    LoadXmlFile(folder + "/" + kConfigFileName, document);
    return RawXmlText(document.document_element());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = FuzzFolder();
    WriteFuzzFile(folder + "/" + kConfigFileName, data, size);
    {
        TConfig config(folder);
        if (!config.KeptAsidePath().empty()) {
            FuzzCheck(ReadFuzzFile(config.KeptAsidePath()) == std::string(reinterpret_cast<const char*>(data), size),
                      "the kept settings file holds every byte of the original");
        }
        ReadEverything(config);
        config.GetFrame().Setleft(-7);
        config.GetCols().Add().SetName("added");
        // A failed save throws, which ends the run as a finding.
        std::vector<std::string> told;
        config.SaveConfig(told);
    }
    const std::string saved = Markup(folder);
    TConfig reopened(folder);
    FuzzCheck(reopened.KeptAsidePath().empty(), "saved settings open without being kept aside");
    FuzzCheck(reopened.GetFrame().Getleft() == -7, "saved settings keep what was written");
    FuzzCheck(Markup(folder) == saved, "opening saved settings leaves them as they are");
    EmptyFuzzFolder();
    return 0;
}
