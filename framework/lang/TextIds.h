#pragma once

#include <array>
#include <cstdint>

// The numbered texts of the language pack that the program shows.
namespace s::lang::text {

inline constexpr int32_t kMakerName = 100000;
inline constexpr int32_t kMakerWebAddress = 101000;
inline constexpr int32_t kMenuMoreSoftware = 107000;
inline constexpr int32_t kAddressMoreSoftware = 108000;
inline constexpr int32_t kMenuWorkplace = 108100;
inline constexpr int32_t kAddressWorkplace = 108200;
inline constexpr int32_t kAddressTranslate = 108500;
inline constexpr int32_t kMenuErrorReport = 109000;
inline constexpr int32_t kErrorReportSaved = 109100;
inline constexpr int32_t kSettingsId = 300000;
inline constexpr int32_t kVersionLabel = 400010;
inline constexpr int32_t kLastUpdatedLabel = 400020;
inline constexpr int32_t kUrlLabel = 400080;
inline constexpr int32_t kVersionWindowTitle = 400100;
inline constexpr int32_t kVersionWindowClose = 400120;
inline constexpr int32_t kProgramName = 500000;
inline constexpr int32_t kAddressProgramPage = 500003;
inline constexpr int32_t kAddressFeedback = 500004;
inline constexpr int32_t kProgramVersion = 500010;
inline constexpr int32_t kLastUpdated = 500020;
inline constexpr int32_t kSupportQuestion = 500089;
inline constexpr int32_t kSupportRequest = 500090;
inline constexpr int32_t kAddressDonate = 500100;
inline constexpr int32_t kMenuView = 609000;
inline constexpr int32_t kMenuKeepOnTop = 609100;
inline constexpr int32_t kMenuIconizeOnWheelClick = 609200;
inline constexpr int32_t kMenuStartOnBoot = 609500;
inline constexpr int32_t kMenuSkin = 609900;
inline constexpr int32_t kMenuLanguage = 700000;
inline constexpr int32_t kMenuTranslate = 700001;
inline constexpr int32_t kMenuAbout = 701000;
inline constexpr int32_t kMenuVersionInformation = 701100;
inline constexpr int32_t kMenuSoftwarePage = 701200;
inline constexpr int32_t kMenuTellDevelopers = 701300;
inline constexpr int32_t kMenuRefreshFrequency = 710000;
inline constexpr int32_t kRefreshRealTime = 710001;
inline constexpr int32_t kRefreshHalfSecond = 710050;
inline constexpr int32_t kRefresh1Second = 710100;
inline constexpr int32_t kRefresh2Seconds = 710200;
inline constexpr int32_t kRefresh3Seconds = 710300;
inline constexpr int32_t kRefresh5Seconds = 710400;
inline constexpr int32_t kRefresh10Seconds = 710500;
inline constexpr int32_t kRefresh30Seconds = 710600;
inline constexpr int32_t kRefresh1Minute = 710700;
inline constexpr int32_t kRefresh5Minutes = 710800;
inline constexpr int32_t kMenuKeepLogs = 720000;
inline constexpr int32_t kMenuClearLog = 720001;
inline constexpr int32_t kMenuSuspendLogging = 720002;
inline constexpr int32_t kLogLimit100 = 720100;
inline constexpr int32_t kLogLimit200 = 720200;
inline constexpr int32_t kLogLimit300 = 720300;
inline constexpr int32_t kLogLimit500 = 720400;
inline constexpr int32_t kLogLimit700 = 720500;
inline constexpr int32_t kLogLimit1000 = 720600;
inline constexpr int32_t kLogLimit2000 = 720700;
inline constexpr int32_t kLogLimit3000 = 720800;
inline constexpr int32_t kMenuHostNames = 730000;
inline constexpr int32_t kTabCurrent = 740000;
inline constexpr int32_t kTabLog = 740100;
inline constexpr int32_t kMenuOpenWindow = 750000;
inline constexpr int32_t kMenuExit = 751000;
inline constexpr int32_t kMenuOpenWebPage = 760000;
inline constexpr int32_t kMenuLocateProgram = 761000;
inline constexpr int32_t kMenuProgramProperty = 762000;
inline constexpr int32_t kMenuDisconnect = 768000;
inline constexpr int32_t kMenuCloseProgram = 769000;
inline constexpr int32_t kMenuKillProgram = 769010;
inline constexpr int32_t kColumnStart = 1000500;
inline constexpr int32_t kColumnEnd = 1000600;
inline constexpr int32_t kColumnProtocol = 1001000;
inline constexpr int32_t kColumnState = 1002000;
inline constexpr int32_t kColumnProcessId = 1003000;
inline constexpr int32_t kColumnProcessName = 1004000;
inline constexpr int32_t kColumnLocal = 1005000;
inline constexpr int32_t kColumnLocalPort = 1006000;
inline constexpr int32_t kColumnRemote = 1007000;
inline constexpr int32_t kColumnRemotePort = 1008000;
inline constexpr int32_t kColumnDuration = 1008500;
inline constexpr int32_t kColumnReceived = 1008700;
inline constexpr int32_t kColumnSent = 1008800;
inline constexpr int32_t kColumnProcessPath = 1009000;
inline constexpr int32_t kStatusReceived = 1010000;
inline constexpr int32_t kStatusSent = 1010100;
inline constexpr int32_t kStatusConnections = 1010200;
inline constexpr int32_t kRawAccessAdvice = 2000000;
inline constexpr int32_t kSaveLogButton = 2100000;
inline constexpr int32_t kLogFileFilter = 2101000;
inline constexpr int32_t kUnitDays = 3810010;
inline constexpr int32_t kUnitHours = 3810020;
inline constexpr int32_t kUnitMinutes = 3810030;
inline constexpr int32_t kUnitSeconds = 3810040;
inline constexpr int32_t kTextFileFilter = 2010001000;

// Short month names, January first.
inline constexpr std::array<int32_t, 12> kMonths = {5000100, 5000200, 5000300, 5000400,
                                                    5000500, 5000600, 5000700, 5000800,
                                                    5000900, 5001000, 5001100, 5001200};

// Every id above, for the checks of the embedded pack.
inline constexpr std::array<int32_t, 104> kAll = {
    100000,  101000,  107000,  108000,     108100,  108200,  108500,  109000,  109100,  300000,
    400010,  400020,  400080,  400100,     400120,  500000,  500003,  500004,  500010,  500020,
    500089,  500090,  500100,  609000,     609100,  609200,  609500,  609900,  700000,  700001,
    701000,  701100,  701200,  701300,     710000,  710001,  710050,  710100,  710200,  710300,
    710400,  710500,  710600,  710700,     710800,  720000,  720001,  720002,  720100,  720200,
    720300,  720400,  720500,  720600,     720700,  720800,  730000,  740000,  740100,  750000,
    751000,  760000,  761000,  762000,     768000,  769000,  769010,  1000500, 1000600, 1001000,
    1002000, 1003000, 1004000, 1005000,    1006000, 1007000, 1008000, 1008500, 1008700, 1008800,
    1009000, 1010000, 1010100, 1010200,    2000000, 2100000, 2101000, 3810010, 3810020, 3810030,
    3810040, 5000100, 5000200, 5000300,    5000400, 5000500, 5000600, 5000700, 5000800, 5000900,
    5001000, 5001100, 5001200, 2010001000,
};

}  // namespace s::lang::text
