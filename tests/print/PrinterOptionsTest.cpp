// Paper sources and media types: their numbers, applying a format's choices
// and the disc-tray preset, on made-up drivers and on the test photo queue.
#include "formats/CoverFormat.h"
#include "print/CupsPrinter.h"
#include "print/PrinterOptions.h"

#include <gtest/gtest.h>

namespace {

std::vector<PrinterChoice> Choices(std::initializer_list<std::pair<const char*, const char*>> items) {
    std::vector<PrinterChoice> out;
    for (auto [keyword, text] : items)
        out.push_back({keyword, text, kPrinterDefaultChoice});
    return out;
}

std::vector<int> Numbers(const std::vector<PrinterChoice>& list) {
    std::vector<int> out;
    for (const PrinterChoice& c : list)
        out.push_back(c.number);
    return out;
}

// A photo printer like the test queue: three slots, three media, a disc size.
PrinterCapabilities PhotoPrinter() {
    PrinterCapabilities caps;
    caps.printer = "Photo";
    caps.sources = Choices({{"Auto", "Automatic"}, {"Rear", "Rear Tray"}, {"CDTray", "Disc Tray"}});
    caps.mediaTypes = Choices({{"Plain", "Plain Paper"}, {"Glossy", "Glossy Photo Paper"},
                               {"PrintableDisc", "Printable Disc"}});
    caps.papers = {{"A4", "A4", 210, 297}, {"Letter", "US Letter", 215.9, 279.4},
                   {"CDRTray", "Disc (12 cm)", 119.94, 119.94}};
    NumberSources(caps.sources);
    NumberMediaTypes(caps.mediaTypes);
    return caps;
}

// An office laser: no disc tray, no disc media.
PrinterCapabilities OfficePrinter() {
    PrinterCapabilities caps;
    caps.printer = "Office";
    caps.sources = Choices({{"Tray1", "Tray 1"}, {"ManualFeed", "Manual Feed"}});
    caps.mediaTypes = Choices({{"Plain", "Plain"}, {"Labels", "Labels"}});
    caps.papers = {{"A4", "A4", 210, 297}, {"Env10", "Envelope #10", 104.8, 241.3}};
    NumberSources(caps.sources);
    NumberMediaTypes(caps.mediaTypes);
    return caps;
}

}  // namespace

TEST(PrinterChoiceNumbers, StandardChoicesKeepTheirNumbersOthersCountFrom256) {
    auto ppd = Choices({{"Auto", "Automatic"}, {"Rear", "Rear Tray"}, {"CDTray", "Disc Tray"},
                        {"Manual", "Manual Feed"}, {"Upper", "Upper Tray"}, {"Lower", "Lower"},
                        {"LargeCapacity", "LCT"}, {"Cassette", "Cassette"}, {"Envelope", "Envelope"},
                        {"Tractor", "Tractor"}, {"Middle", "Middle"}});
    NumberSources(ppd);
    EXPECT_EQ(Numbers(ppd), (std::vector<int>{7, 257, 258, 4, 1, 2, 11, 14, 5, 8, 3}));

    // IPP keywords: case, '-' and '_' do not matter.
    auto ipp = Choices({{"auto", "Automatic"}, {"main", "Main"}, {"manual", "Manual"},
                        {"disc", "Disc"}, {"large-capacity", "Large Capacity"}, {"by-pass-tray", "Bypass"}});
    NumberSources(ipp);
    EXPECT_EQ(Numbers(ipp), (std::vector<int>{7, 257, 4, 259, 11, 261}));

    auto media = Choices({{"stationery", "Plain"}, {"photographic-glossy", "Glossy"},
                          {"transparency", "Film"}, {"PrintableDisc", "Disc"}});
    NumberMediaTypes(media);
    EXPECT_EQ(Numbers(media), (std::vector<int>{1, 3, 2, 259}));
}

TEST(PrinterChoiceNumbers, ASecondChoiceOfTheSameMeaningGetsADriverNumber) {
    // Two names for the top tray: only the first can be 1, or a format's
    // PAPERSOURCE 1 would be ambiguous.
    auto list = Choices({{"Upper", "Upper"}, {"Top", "Top"}, {"Tray9", "Auto Select"}});
    NumberSources(list);
    EXPECT_EQ(Numbers(list), (std::vector<int>{1, 257, 7}));  // the text counts when the keyword has no meaning
    EXPECT_EQ(ChoiceByNumber(list, 257)->keyword, "Top");
    EXPECT_EQ(ChoiceByNumber(list, kPrinterDefaultChoice), nullptr);
    EXPECT_EQ(ChoiceByNumber(list, 263), nullptr);
}

TEST(ApplyMediaAndSource, SetsOnlyWhatTheFormatNames) {
    const PrinterCapabilities caps = PhotoPrinter();
    CPrinterSettings settings;
    settings.SelectPrinter("Photo");
    settings.SetJobOption("InputSlot", "Rear");

    // Media type glossy, no paper source: the source stays as it was.
    EXPECT_TRUE(ApplyMediaAndSource(settings, caps, 3, kPrinterDefaultChoice));
    EXPECT_EQ(settings.JobOption("MediaType"), "Glossy");
    EXPECT_EQ(settings.JobOption("InputSlot"), "Rear");

    EXPECT_TRUE(ApplyMediaAndSource(settings, caps, kPrinterDefaultChoice, 7));
    EXPECT_EQ(settings.JobOption("InputSlot"), "Auto");
    EXPECT_EQ(settings.JobOption("MediaType"), "Glossy");

    // Numbers this driver has no choice for change nothing.
    EXPECT_FALSE(ApplyMediaAndSource(settings, caps, 287, 263));
    EXPECT_EQ(settings.JobOption("InputSlot"), "Auto");
    EXPECT_EQ(settings.JobOption("MediaType"), "Glossy");

    // IPP printers take the IPP option names.
    PrinterCapabilities ipp = caps;
    ipp.sourceOption = "media-source";
    ipp.mediaOption = "media-type";
    CPrinterSettings other;
    ApplyMediaAndSource(other, ipp, 258, 258);
    EXPECT_EQ(other.JobOptions(), (std::vector<std::pair<std::string, std::string>>{
                                      {"media-source", "CDTray"}, {"media-type", "PrintableDisc"}}));
}

TEST(DiscTrayPreset, PicksTheDiscPaperSlotAndMedia) {
    CPrinterSettings settings;
    EXPECT_TRUE(ApplyDiscTrayPreset(settings, PhotoPrinter()));
    EXPECT_EQ(settings.PaperKeyword(), "CDRTray");  // by its size: no name holds "cd-r tray"
    EXPECT_EQ(settings.JobOption("InputSlot"), "CDTray");
    EXPECT_EQ(settings.JobOption("MediaType"), "PrintableDisc");
}

TEST(DiscTrayPreset, ANameHoldingCdRTrayInAnyCaseWinsOverSize) {
    std::vector<PaperChoice> papers = {{"A4", "A4", 210, 297},
                                       {"Disc120", "Disc 120 mm", 120, 120},
                                       {"CDA", "Canon CD-R TRAY [A] Printable", 120, 120}};
    ASSERT_NE(FindDiscPaper(papers), nullptr);
    EXPECT_EQ(FindDiscPaper(papers)->keyword, "CDA");
    papers.pop_back();
    EXPECT_EQ(FindDiscPaper(papers)->keyword, "Disc120");
    papers.pop_back();
    EXPECT_EQ(FindDiscPaper(papers), nullptr);
    // Nearly square but not a disc, and a photo size: not the tray.
    EXPECT_EQ(FindDiscPaper({{"Sq", "Square", 100, 100}, {"P5x7", "5x7", 127, 177.8}}), nullptr);

    auto slots = Choices({{"Tray1", "Tray 1"}, {"Tray2", "CD/DVD"}});
    EXPECT_EQ(FindDiscSource(slots)->keyword, "Tray2");
    EXPECT_EQ(FindDiscSource(Choices({{"Cassette", "Cassette"}, {"Card", "Cardstock"}})), nullptr);
}

TEST(DiscTrayPreset, APrinterWithoutADiscTrayIsLeftAlone) {
    CPrinterSettings settings;
    settings.SelectPrinter("Office");
    settings.SetJobOption("InputSlot", "Tray1");
    settings.SetPaperKeyword("A4");
    EXPECT_FALSE(ApplyDiscTrayPreset(settings, OfficePrinter()));
    EXPECT_EQ(settings.PaperKeyword(), "A4");
    EXPECT_EQ(settings.JobOptions().size(), 1u);
    EXPECT_EQ(settings.JobOption("InputSlot"), "Tray1");
}

TEST(ApplyPrinterRequest, TheTraySettingsStayForLaterJobs) {
    const PrinterCapabilities caps = PhotoPrinter();
    CPrinterSettings settings;
    CoverFormat tray = CoverFormat::NewFormat("CD Label (tray)");
    tray.type = "CD_TRAY";
    ApplyPrinterRequest(settings, caps, tray.type == "CD_TRAY", tray.mediaType, tray.paperSource);
    EXPECT_EQ(settings.JobOption("InputSlot"), "CDTray");

    // A later format without its own source or media changes nothing.
    CoverFormat front = CoverFormat::NewFormat("CD Front");
    front.type = "CD_FRONT";
    ApplyPrinterRequest(settings, caps, front.type == "CD_TRAY", front.mediaType, front.paperSource);
    EXPECT_EQ(settings.JobOption("InputSlot"), "CDTray");
    EXPECT_EQ(settings.PaperKeyword(), "CDRTray");

    // One with its own media type changes only that.
    front.mediaType = 3;
    ApplyPrinterRequest(settings, caps, front.type == "CD_TRAY", front.mediaType, front.paperSource);
    EXPECT_EQ(settings.JobOption("MediaType"), "Glossy");
    EXPECT_EQ(settings.JobOption("InputSlot"), "CDTray");

    // A format's own source wins over the preset of its own tray type.
    tray.paperSource = 257;
    ApplyPrinterRequest(settings, caps, tray.type == "CD_TRAY", tray.mediaType, tray.paperSource);
    EXPECT_EQ(settings.JobOption("InputSlot"), "Rear");
}

TEST(PrinterSettings, AnotherPrinterForgetsWhatWasSetOnThePreviousOne) {
    CPrinterSettings settings;
    settings.SelectPrinter("Photo");
    settings.SetJobOption("InputSlot", "CDTray");
    settings.SetJobOption("InputSlot", "Rear");
    EXPECT_EQ(settings.JobOptions().size(), 1u);
    settings.SetPaperKeyword("CDRTray");
    settings.SelectPrinter("Photo");
    EXPECT_EQ(settings.JobOption("InputSlot"), "Rear");
    settings.SelectPrinter("Office");
    EXPECT_EQ(settings.PrinterName(), "Office");
    EXPECT_TRUE(settings.JobOptions().empty());
    EXPECT_TRUE(settings.PaperKeyword().empty());
    settings.SetJobOption("MediaType", "Plain");
    settings.RemoveJobOption("MediaType");
    EXPECT_EQ(settings.JobOption("MediaType"), "");
}

// The test queue set up by scripts/setup-test-printers.sh.
TEST(CupsPrinter, ReadsTheTestPhotoPrinterInDriverOrder) {
    if (!CupsPrinterExists("KorvaneTestPhoto"))
        GTEST_SKIP() << "CUPS queue KorvaneTestPhoto is not set up (run scripts/setup-test-printers.sh as root)";
    PrinterCapabilities caps;
    ASSERT_TRUE(ReadPrinterCapabilities("KorvaneTestPhoto", caps));
    EXPECT_EQ(caps.printer, "KorvaneTestPhoto");
    EXPECT_EQ(caps.sourceOption, "InputSlot");
    EXPECT_EQ(caps.sources, (std::vector<PrinterChoice>{{"Auto", "Automatic", 7}, {"Rear", "Rear Tray", 257},
                                                       {"CDTray", "Disc Tray", 258}}));
    EXPECT_EQ(caps.mediaTypes, (std::vector<PrinterChoice>{{"Plain", "Plain Paper", 1},
                                                          {"Glossy", "Glossy Photo Paper", 3},
                                                          {"PrintableDisc", "Printable Disc", 258}}));
    ASSERT_EQ(caps.papers.size(), 3u);
    EXPECT_EQ(caps.papers[0].keyword, "A4");
    EXPECT_NEAR(caps.papers[0].widthMm, 209.9, 0.1);
    EXPECT_EQ(caps.papers[2].text, "CD-R Tray (12 cm disc)");
    EXPECT_EQ(caps.defaultPaper, "A4");
    EXPECT_EQ(caps.resolution, 600);

    CPrinterSettings settings;
    settings.SelectPrinter(caps.printer);
    EXPECT_TRUE(ApplyDiscTrayPreset(settings, caps));
    EXPECT_EQ(settings.PaperKeyword(), "CDRTray");
    EXPECT_EQ(settings.JobOption("InputSlot"), "CDTray");
    EXPECT_EQ(settings.JobOption("MediaType"), "PrintableDisc");
}

TEST(CupsPrinter, AnUnknownPrinterHasNoLists) {
    PrinterCapabilities caps;
    caps.sources = Choices({{"x", "y"}});
    EXPECT_FALSE(ReadPrinterCapabilities("KorvaneNoSuchQueue", caps));
    EXPECT_TRUE(caps.sources.empty());
    EXPECT_FALSE(CupsPrinterExists("KorvaneNoSuchQueue"));
    EXPECT_FALSE(CupsPrinterExists(""));
}
