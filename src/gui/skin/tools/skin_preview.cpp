// quelt-skin-preview: renders the skinned windows of a skin into PNG files, filled with
// sample content, so that the artwork can be looked at without running the program.
//
//     quelt-skin-preview SKIN_FOLDER OUTPUT_FOLDER [SCALE]
//
// Writes main-<mode>.png for the three pages inside the main window, each at SCALE
// (default 1; 2 renders as on a high-density screen).
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTreeWidget>
#include <cstdio>

#include "gui/skin/skin_windows.h"
#include "gui/skin/skinned_window.h"

using namespace quelt;

namespace {

void FillList(QTreeWidget* list, const QStringList& headers, const QList<QStringList>& rows,
              bool checks, const QIcon& icon) {
    if (!list) return;
    list->setHeaderLabels(headers);
    for (int i = 0; i < rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(list, rows[i]);
        item->setIcon(0, icon);
        if (checks) item->setCheckState(0, i == 2 ? Qt::Unchecked : Qt::Checked);
        if (headers.size() > 2) item->setTextAlignment(headers.size() - 1, Qt::AlignCenter);
    }
    if (list->topLevelItemCount() > 1) list->setCurrentItem(list->topLevelItem(1));
}

void SetCombo(QComboBox* combo, const QStringList& items) {
    if (combo) combo->addItems(items);
}

void SetEdit(QLineEdit* edit, const QString& text) {
    if (edit) {
        edit->setText(text);
        edit->setCursorPosition(0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc < 3) {
        std::fprintf(stderr, "usage: quelt-skin-preview SKIN_FOLDER OUTPUT_FOLDER [SCALE]\n");
        return 2;
    }
    const double scale = argc > 3 ? std::atof(argv[3]) : 1.0;
    if (scale > 1.0) qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
    QApplication app(argc, argv);
    Skin skin;
    const SkinLoadResult loaded = skin.Load(QString::fromLocal8Bit(argv[1]) + "/the.ui", true);
    if (loaded.code != kSkinLoaded) {
        std::fprintf(stderr, "cannot load the skin: %d\n", loaded.code);
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    const QList<QPixmap> images =
        LoadImageStrip(skin.FilePath("CDRip_Lst16.bmp"), 16, QColor(0, 128, 128));
    const QIcon track = images.isEmpty() ? QIcon() : QIcon(images[0]);

    SkinnedWindow main(skin, kMainWindowNumber);
    SetCombo(main.control<QComboBox>(1018), {"IDLE", "NORMAL", "HIGH", "REALTIME"});
    if (auto* status = main.control<QLabel>(1013)) status->setText("No.: 02, second: 00:01:37.000");
    if (auto* pos = main.control<QSlider>(1020)) {
        pos->setRange(0, 1000);
        pos->setValue(380);
    }
    if (auto* vol = main.control<QSlider>(1012)) {
        vol->setRange(0, 65535);
        vol->setValue(45000);
    }

    SkinnedWindow rip(skin, kRipPageNumber, &main);
    SkinnedWindow convert(skin, kConvertPageNumber, &main);
    SkinnedWindow burn(skin, kBurnPageNumber, &main);
    for (SkinnedWindow* page : {&rip, &convert, &burn})
        page->setGeometry(kPageLeft, kPageTop, kPageWidth, kPageHeight);

    const QStringList formats = {".mp3 (MPEG Layer - 3)", ".flac (Free Lossless Audio Codec)"};
    const QStringList presets = {"192kbit/s 44100Hz Stereo "};
    const QStringList genres = {"Rock", "Jazz", "Classical"};
    SetCombo(rip.control<QComboBox>(1043), {"[0,1,0]   HL-DT-ST   DVDRAM GH24NSD1   LG00"});
    SetCombo(rip.control<QComboBox>(1050), formats);
    SetCombo(rip.control<QComboBox>(1049), presets);
    SetCombo(rip.control<QComboBox>(1053), genres);
    SetEdit(rip.control<QLineEdit>(1048), "Nordlys Ensemble");
    SetEdit(rip.control<QLineEdit>(1051), "Polar Nights");
    SetEdit(rip.control<QLineEdit>(1052), "Aurora Over Tromsø");
    SetEdit(rip.control<QLineEdit>(1056), "2007");
    if (auto* b = rip.control<QAbstractButton>(1044)) b->setChecked(true);
    if (auto* b = rip.control<QAbstractButton>(1045)) b->setChecked(true);
    if (auto* l = rip.control<QLabel>(1047)) l->setText("Finish Refreshing CD Information");
    FillList(rip.control<QTreeWidget>(1042), {"   # ", " Artist", " Title", " Duration"},
             {{"01", "Nordlys Ensemble", "First Light", "00:04:12"},
              {"02", "Nordlys Ensemble", "Aurora Over Tromsø", "00:05:31"},
              {"03", "Nordlys Ensemble", "Snowfield", "00:03:08"},
              {"04", "Nordlys Ensemble", "The Long Night", "00:06:44"},
              {"05", "Nordlys Ensemble", "Harbour Lights", "00:04:59"},
              {"06", "Nordlys Ensemble", "Return of the Sun", "00:07:02"}},
             true, track);
    if (auto* l = rip.control<QTreeWidget>(1042)) {
        l->setColumnWidth(0, 50);
        l->setColumnWidth(1, 120);
        l->setColumnWidth(2, 168);
    }

    SetCombo(convert.control<QComboBox>(1125), formats);
    SetCombo(convert.control<QComboBox>(1126), presets);
    SetCombo(convert.control<QComboBox>(1114), genres);
    SetEdit(convert.control<QLineEdit>(1115), "Mira Okafor");
    SetEdit(convert.control<QLineEdit>(1116), "Tidewater");
    SetEdit(convert.control<QLineEdit>(1117), "Salt Roads");
    SetEdit(convert.control<QLineEdit>(1119), "2019");
    const QList<QStringList> files = {
        {"01", "/home/ana/Music/Tidewater/01 Low Tide.flac", "00:03:58"},
        {"02", "/home/ana/Music/Tidewater/02 Salt Roads.flac", "00:04:21"},
        {"03", "/home/ana/Music/Tidewater/03 Lantern.wav", "00:05:02.250"},
        {"04", "/home/ana/Music/Live/Harbour Session.ogg", "00:11:47"}};
    FillList(convert.control<QTreeWidget>(1103), {"   # ", " Filename", " Duration"}, files, false,
             track);
    FillList(burn.control<QTreeWidget>(1079), {"   # ", " Filename", " Duration"}, files, false,
             track);
    for (QTreeWidget* l : {convert.control<QTreeWidget>(1103), burn.control<QTreeWidget>(1079)}) {
        if (!l) continue;
        l->setColumnWidth(0, 34);
        l->setColumnWidth(1, 294);
    }
    if (auto* l = convert.control<QLabel>(1104))
        l->setText("Track Count: 04 ,          Total Duration: 00:25:08.250");
    if (auto* l = burn.control<QLabel>(1082))
        l->setText("Track Count: 04 ,          Total Duration: 00:25:08.250");
    SetCombo(burn.control<QComboBox>(1081), {"[0,1,0] HL-DT-ST DVDRAM GH24NSD1"});
    SetCombo(burn.control<QComboBox>(1098), {"Audio CD", "Data  CD(Audio)"});
    if (auto* l = burn.control<QLabel>(1085)) l->setText("CD-R");
    if (auto* l = burn.control<QLabel>(1086)) l->setText("Empty Disc");
    if (auto* l = burn.control<QLabel>(1101)) l->setText("702.83MB");

    main.show();
    struct Mode {
        const char* name;
        int button;
        SkinnedWindow* page;
    };
    const Mode modes[] = {{"rip", 1001, &rip}, {"convert", 1002, &convert}, {"burn", 1003, &burn}};
    for (const Mode& mode : modes) {
        for (const Mode& other : modes) {
            other.page->setVisible(other.page == mode.page);
            if (auto* b = main.control<QAbstractButton>(other.button))
                b->setChecked(other.page == mode.page);
        }
        app.processEvents();
        const QString file =
            out + QStringLiteral("/main-%1%2.png").arg(mode.name, scale > 1 ? "@2x" : "");
        if (!main.grab().save(file)) return 1;
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
