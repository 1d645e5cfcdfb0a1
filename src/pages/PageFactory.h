#pragma once
// Builds the page of a number for the host: the guide pages (1 to 5) and the summary (12) built so far;
// nullptr for a number whose page is not built here, so the host can show its stand-in instead.

class QWidget;
class WizardPage;
struct CloudPortalInfo;
struct WizardSession;

WizardPage* CreateWizardPage(int number, QWidget* host, WizardSession& session, const CloudPortalInfo& portal);
