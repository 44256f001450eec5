// Printing through CUPS: a private scheduler (cupsd) of the test's own, with its
// configuration, spool and state in a temporary folder, and one queue on the cups-pdf driver
// that writes its jobs to a file there. Nothing of the machine's own CUPS is read or changed.
#include "platform/testing/UiTest.h"
#include "platform/ui/AfxWin.h"
#include "platform/ui/CommonDlg.h"

#include "tests/platform_ui/TestDir.h"
#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <thread>

namespace {
namespace fs = std::filesystem;

const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

class Cups : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_why.clear();
    const std::string cupsd =
        access("/usr/sbin/cupsd", X_OK) == 0 ? "/usr/sbin/cupsd" : test_support::FindTool("cupsd");
    s_lpadmin = test_support::FindTool("lpadmin");
    s_lpstat = test_support::FindTool("lpstat");
    if (cupsd.empty() || s_lpadmin.empty() || s_lpstat.empty() || access(kPpd, R_OK) != 0) {
      s_why = "CUPS (cups, cups-client) or the cups-pdf driver (printer-driver-cups-pdf) is not installed";
      return;
    }
    char tmpl[] = "/tmp/neapwise-cups-XXXXXX";
    if (!::mkdtemp(tmpl)) {
      s_why = "no temporary folder";
      return;
    }
    s_root = tmpl;
    // The scheduler runs its filters as its own unprivileged user: they need to reach the folder.
    ::chmod(tmpl, 0755);
    for (const char* d : {"spool", "cache", "state", "log", "out"}) fs::create_directories(s_root / d);
    fs::create_directories(s_root / "tmp");
    ::chmod((s_root / "tmp").c_str(), 01777);
    ::chmod((s_root / "out").c_str(), 0777);
    s_socket = (s_root / "cups.sock").string();
    WriteAll((s_root / "cups-files.conf").string(),
             "ServerRoot " + s_root.string() + "\nRequestRoot " + (s_root / "spool").string() + "\nTempDir " +
                 (s_root / "tmp").string() + "\nCacheDir " + (s_root / "cache").string() + "\nStateDir " +
                 (s_root / "state").string() + "\nErrorLog " + (s_root / "log/error_log").string() + "\nAccessLog " +
                 (s_root / "log/access_log").string() + "\nPageLog " + (s_root / "log/page_log").string() +
                 "\nFileDevice Yes\nSystemGroup root\n");
    WriteAll((s_root / "cupsd.conf").string(),
             "Listen " + s_socket +
                 "\nBrowsing No\nLogLevel warn\nDefaultAuthType None\nWebInterface No\n"
                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                 "</Policy>\n");
    std::vector<std::string> args = {
        cupsd, "-f", "-c", (s_root / "cupsd.conf").string(), "-s", (s_root / "cups-files.conf").string()};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = (s_root / "log/cupsd.out").string();
    // The scheduler ends with the test process, even when a test crashes before the tear-down.
    const pid_t parent = ::getpid();
    s_cupsd = ::fork();
    if (s_cupsd == 0) {
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (::getppid() != parent) ::_exit(127);
      const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::close(fd);
      }
      ::execv(cupsd.c_str(), argv.data());
      ::_exit(127);
    }
    if (s_cupsd < 0) {
      s_cupsd = 0;
      s_why = "cupsd could not be started";
      return;
    }
    ::setenv("CUPS_SERVER", s_socket.c_str(), 1);
    bool up = false;
    for (int waited = 0; waited < 10000 && !up; waited += 100) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      int status;
      if (::waitpid(s_cupsd, &status, WNOHANG) == s_cupsd) {
        s_cupsd = 0;
        break;
      }
      up = fs::exists(s_socket) &&
           test_support::Output(s_lpstat + " -r 2>/dev/null").find("is running") != std::string::npos;
    }
    if (!up) {
      s_why = "cupsd does not run here: " + ReadAll(out) + ReadAll((s_root / "log/error_log").string());
      return;
    }
    // A queue named "PDF", as the cups-pdf package names its own, writing to a file of ours,
    // and another one that is the default.
    const std::string add = s_lpadmin + " -p PDF -E -v 'file://" + Output() + "' -P " + kPpd + " >/dev/null 2>&1 && " +
                            s_lpadmin + " -p Office -E -v 'file://" + (s_root / "out" / "Office.ps").string() +
                            "' -P " + kPpd + " >/dev/null 2>&1 && " + s_lpadmin + " -d Office >/dev/null 2>&1";
    if (std::system(add.c_str()) != 0) s_why = "the queues could not be added";
  }
  static void TearDownTestSuite() {
    test_support::StopProcess(s_cupsd);
    s_cupsd = 0;
    ::unsetenv("CUPS_SERVER");
    std::error_code ec;
    if (!s_root.empty()) fs::remove_all(s_root, ec);
    s_root.clear();
  }
  void SetUp() override {
    if (!s_why.empty()) GTEST_SKIP() << s_why;
    AfxWinInit(0, nullptr);
    std::error_code ec;
    fs::remove(Output(), ec);
  }
  void TearDown() override { AfxSetPrintDialogHook(nullptr); }
  static std::string Output() { return (s_root / "out" / "PDF.ps").string(); }
  // Waits for the queue to finish every job; what it wrote, empty when it did not in time.
  static std::string Printed(int jobs) {
    for (int waited = 0; waited < 60000; waited += 200) {
      std::string done = test_support::Output(s_lpstat + " -W completed -o PDF 2>/dev/null");
      std::string open = test_support::Output(s_lpstat + " -o PDF 2>/dev/null");
      const int n = (int)std::count(done.begin(), done.end(), '\n');
      if (n >= jobs && open.empty() && fs::exists(Output())) return ReadAll(Output());
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return {};
  }
  static int Sheets(const std::string& ps) {
    std::regex page("\n%%Page: ");
    return (int)std::distance(std::sregex_iterator(ps.begin(), ps.end(), page), std::sregex_iterator());
  }
  static void PrintPages(HDC hdc, int pages) {
    CDC* dc = CDC::FromHandle(hdc);
    const int w = dc->GetDeviceCaps(HORZRES), h = dc->GetDeviceCaps(VERTRES);
    ASSERT_GT(dc->StartDoc("Neapwise"), 0);
    for (int p = 0; p < pages; ++p) {
      ASSERT_GT(dc->StartPage(), 0);
      dc->FillSolidRect(w / 10, h / 10, w / 2, h / 4, RGB(0, 0, 0));
      ASSERT_GT(dc->EndPage(), 0);
    }
    ASSERT_GT(dc->EndDoc(), 0);
    EXPECT_TRUE(DeleteDC(hdc));
  }

  static inline fs::path s_root;
  static inline std::string s_socket, s_lpadmin, s_lpstat, s_why;
  static inline pid_t s_cupsd = 0;
};

// A queue that happens to be called "PDF" is a printer: the job goes through CUPS, not to a
// file, and the next print dialog offers the same queue again rather than the default one.
TEST_F(Cups, AQueueNamedPdfPrintsThroughCupsAndIsRemembered) {
  AfxSetPrintDialogHook([](const AFX_PRINTDLG_REQUEST& r) {
    EXPECT_NE(std::find(r.printers.begin(), r.printers.end(), "PDF"), r.printers.end());
    AFX_PRINTDLG_ANSWER a;
    a.result = IDOK;
    a.printer = "PDF";
    return a;
  });
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_FALSE(dlg.PrintToFile());
  EXPECT_STREQ(dlg.GetDeviceName(), "PDF");
  EXPECT_STREQ(dlg.GetDriverName(), "CUPS");
  ASSERT_NE(dlg.GetPrinterDC(), nullptr);
  PrintPages(dlg.GetPrinterDC(), 2);
  const std::string ps = Printed(1);
  ASSERT_FALSE(ps.empty()) << "no job done by the queue";
  EXPECT_EQ(0u, ps.rfind("%!PS", 0));
  EXPECT_EQ(2, Sheets(ps));
  EXPECT_FALSE(fs::exists("Neapwise.pdf"));

  AfxSetPrintDialogHook(nullptr);
  QString offered;
  bool toFile = true;
  AfxCallLater(50, [&] {
    auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    offered = d->printer()->printerName();
    toFile = d->printer()->outputFormat() == QPrinter::PdfFormat;
    d->reject();
  });
  CPrintDialog again(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  EXPECT_EQ(again.DoModal(), IDCANCEL);
  EXPECT_EQ(offered, QString("PDF"));
  EXPECT_FALSE(toFile);
}

// Pages per sheet set under the print dialog's Properties reach the job: two pages come out on
// one sheet.
TEST_F(Cups, ThePagesPerSheetChosenInTheDialogReachTheJob) {
  bool saw = false, sawProperties = false;
  QString problem;
  QPrintDialog* main = nullptr;
  AfxCallLater(50, [&] {
    main = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (!main) return;
    saw = true;
    auto* printers = main->findChild<QComboBox*>("printers");
    auto* properties = main->findChild<QPushButton*>("properties");
    if (printers) printers->setCurrentIndex(printers->findText("PDF"));
    if (!printers || printers->currentText() != "PDF" || !properties) {
      problem = "the queue or its properties cannot be chosen";
      main->reject();
      return;
    }
    // The properties open as a dialog of their own.
    AfxCallLater(100, [&] {
      QDialog* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      auto* perSheet = d && d != main ? d->findChild<QComboBox*>("pagesPerSheetCombo") : nullptr;
      // The second entry is two pages a sheet ("2" or "2 (2x1)").
      const int two = perSheet && perSheet->count() > 1 && perSheet->itemText(1).startsWith("2") ? 1 : -1;
      if (two < 0 || !perSheet->isEnabled()) {
        problem = "the properties offer no pages per sheet: " + QString(d ? d->metaObject()->className() : "none");
        if (d)
          for (auto* c : d->findChildren<QComboBox*>())
            problem += " " + c->objectName() + (c->isEnabled() ? "+" : "-") + QString::number(c->count());
        if (d && d != main) d->reject();
      } else {
        sawProperties = true;
        perSheet->setCurrentIndex(two);
        d->accept();
      }
      AfxCallLater(50, [&] { QMetaObject::invokeMethod(main, "accept"); });
    });
    QMetaObject::invokeMethod(properties, "click", Qt::QueuedConnection);
  });
  CPrintDialog dlg(FALSE, PD_NOPAGENUMS | PD_HIDEPRINTTOFILE);
  const INT_PTR r = dlg.DoModal();
  ASSERT_TRUE(saw);
  ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
  EXPECT_TRUE(sawProperties);
  ASSERT_EQ(r, IDOK);
  EXPECT_FALSE(dlg.PrintToFile());
  ASSERT_NE(dlg.GetPrinterDC(), nullptr);
  PrintPages(dlg.GetPrinterDC(), 2);
  const std::string ps = Printed(1);
  ASSERT_FALSE(ps.empty()) << "no job done by the queue";
  EXPECT_EQ(1, Sheets(ps));
  // A further DC of the same dialog prints with the same options.
  std::error_code ec;
  fs::remove(Output(), ec);
  HDC more = dlg.CreatePrinterDC();
  ASSERT_NE(more, nullptr);
  PrintPages(more, 4);
  const std::string ps2 = Printed(2);
  ASSERT_FALSE(ps2.empty());
  EXPECT_EQ(2, Sheets(ps2));
}

}  // namespace
