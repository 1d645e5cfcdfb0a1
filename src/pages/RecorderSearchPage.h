#pragma once
// Page 6: searches the LAN for HXT-914Q recorders with the host's discovery table, lists them with a radio mark
// each (the first checked), and on NEXT hands the chosen recorder's address and MAC to the session and asks the
// host for the default-login probe. The search runs by itself once, 500 ms after the page opened, and on Rescan.

#include "pages/WizardPage.h"
#include "platform/LocalInterfaces.h"

#include <QBasicTimer>
#include <cstdint>
#include <string>
#include <vector>

class MarkupText;
class IconCaptionButton;
class HelpLink;
class SlimScrollBar;
class BusyIndicator;
class RecorderList;
class TextLabel;
class WrappedText;
class WizardContext;

class RecorderSearchPage : public WizardPage
{
    Q_OBJECT
public:
    static constexpr const char* kModel = "HXT-914Q";
    static constexpr int kAutoSearchDelayMs = 500;
    static constexpr int kCheckMs = 100; // the wait looks at the search this often
    static constexpr int kCheckLimit = 70; // ... and at most this many times
    static constexpr int kTailMs = 500; // the search counts as running this much longer

    RecorderSearchPage(QWidget* host, WizardContext& context);
    ~RecorderSearchPage() override;

    void Leave() override;

    RecorderList* list() const { return recorderList; }
    // Says under the list what a marked row and a row listed twice mean, while such rows are listed (the search
    // calls it once the rows are in).
    void ExplainRows();
    bool searchRunning() const { return running; }
    bool noDevice() const { return noDeviceShown; }
    // The note under the list when the search kept only its cap of answers (empty: not shown).
    QString capNoteText() const;
    // What the not-found help lists as searched: one "name  address" line per interface of the last search.
    std::string SearchedInterfaces() const;

protected:
    void onMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void OnNext() override;
    void OnBack() override;
    void timerEvent(QTimerEvent* event) override;

private:
    // One listed row: the record it came from and the local interface its answer arrived on.
    struct Row
    {
        std::string ip;
        std::string mac;
        int32_t interfaceIndex = -1;
    };

    void Rescan();
    void checkSearch();
    void listRecords(int32_t state);
    void endSearch();
    void showNoDevice();
    void setButtonsBusy(bool busy);
    QString rowToolTip(const Row& row, bool outside) const;
    // Whether another row lists the same address and MAC (the recorder answered on two interfaces).
    bool repeatedRow(int row) const;
    // The row whose address another listed recorder (another MAC) also announces, or -1.
    int sharedAddressRow(int row) const;

    WizardContext& context;
    MarkupText* instructions = nullptr;
    IconCaptionButton* rescan = nullptr;
    RecorderList* recorderList = nullptr;
    SlimScrollBar* scrollBar = nullptr;
    BusyIndicator* searching = nullptr;
    TextLabel* noDeviceLabel = nullptr;
    WrappedText* rowNote = nullptr;
    TextLabel* capNote = nullptr; // under the list: the search left answers out
    HelpLink* notFoundLink = nullptr;

    QBasicTimer autoTimer;
    QBasicTimer checkTimer;
    QBasicTimer tailTimer;
    bool autoStarted = false;
    bool running = false; // the search and its tail
    bool noDeviceShown = false;
    int checks = 0;
    std::vector<Row> rows;
    std::vector<LocalInterface> interfaces; // as the last search began
    std::string selectedIp;
    std::string selectedMac;
};
