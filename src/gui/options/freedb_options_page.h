// The "FREEDB" tab of the options: automatic look-up, which server of the FreeDB component's
// list, port, time-out (milliseconds) and proxy. Opening the tab shows the component's own
// values where the settings hold none; "OK" stores the fields into section "CDRIP" and hands
// the server, port, time-out and proxy to the component at once, so the next look-up of
// this run uses them. A second group chooses the album look-up (FreeDB, MusicBrainz, or
// MusicBrainz then FreeDB), the MusicBrainz server and the cover art; the proxy serves all. GUI
// thread only; the component may be read by a look-up meanwhile (its properties are thread-safe and
// copied when a look-up starts).
#pragma once

#include "gui/options/options_page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quelt {

struct Settings;
class FreedbInfo;

class FreedbOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    FreedbOptionsPage(Settings& settings, FreedbInfo& freedb, QWidget* parent = nullptr);
    void Load() override;
    void Store() override;

    QCheckBox* freedbBox() const { return freedb_; }     // 1017
    QComboBox* serverList() const { return servers_; }   // 1018
    QLineEdit* portEdit() const { return port_; }        // 1019
    QLineEdit* timeOutEdit() const { return timeOut_; }  // 1020
    QCheckBox* proxyBox() const { return useProxy_; }    // 1021
    QLineEdit* proxyEdit() const { return proxy_; }      // 1022
    QComboBox* lookupSourceList() const { return source_; }
    QLineEdit* musicBrainzServerEdit() const { return musicBrainzServer_; }

  private:
    Settings& settings_;
    FreedbInfo& info_;
    QCheckBox* freedb_;
    QComboBox* servers_;
    QLineEdit* port_;
    QLineEdit* timeOut_;
    QCheckBox* useProxy_;
    QLineEdit* proxy_;
    QComboBox* source_;
    QLineEdit* musicBrainzServer_;
    QCheckBox* coverArt_;
};

}  // namespace quelt
