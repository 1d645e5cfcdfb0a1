#pragma once
// A page with the common frame and its title only, shown for a page number whose page is not built yet. Its
// NEXT and BACK post what that page's own NEXT and BACK post, so the whole page sequence can be walked.

#include <QPoint>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <string>

class COrselButton4;

class StandInPage : public QWidget
{
    Q_OBJECT
public:
    StandInPage(QWidget* host, int number);

    int number() const { return pageNumber; }
    static QString TitleFor(int number);

    // What the host hands the pages that use its services (kept for tests).
    void SetProbeFlags(std::atomic<int32_t>* busy, std::atomic<int32_t>* refused, std::atomic<int32_t>* accepted);
    void SetStorageStatus(std::atomic<int32_t>* fsCode) { storageStatus = fsCode; }
    void SetPortal(const std::string& url, const std::string& number);
    std::atomic<int32_t>* probeBusy = nullptr;
    std::atomic<int32_t>* defaultLoginRefused = nullptr;
    std::atomic<int32_t>* defaultLoginAccepted = nullptr;
    std::atomic<int32_t>* storageStatus = nullptr;
    std::string portalUrl;
    std::string portalNumber;
    int probeFailures = 0;
    int storageReports = 0;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void next();
    void back();
    void post(int message, intptr_t wParam);

    int pageNumber;
    QWidget* host;
    QImage background;
    bool dragging = false;
    QPoint dragStart;
    QPoint pageStart;
};
