#pragma once
// Every numeric id of the program's windows, menus, accelerators, controls and commands. The
// numbers are the ones the users' documentation and the settings refer to; keep them stable.
namespace tessary::res {

// Dialog templates.
inline constexpr int kIddAbout = 100;
inline constexpr int kIddMain = 131;
inline constexpr int kIddSummary = 132;
inline constexpr int kIddProperty = 133;
inline constexpr int kIddDiffTime = 134;
inline constexpr int kIddDivide = 135;
inline constexpr int kIddOption = 140;
inline constexpr int kIddOptMark = 141;
inline constexpr int kIddOptColor = 142;
inline constexpr int kIddOptBlock = 143;
inline constexpr int kIddProgress = 150;

// Menus and the accelerator table.
inline constexpr int kMenuMain = 128;
inline constexpr int kMenuSummary = 129;
inline constexpr int kMenuContext = 130;
inline constexpr int kAcceleratorMain = 128;

// Buttons of every dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Version information dialog (template 100).
inline constexpr int kIdcAboutDescription = 1000;
inline constexpr int kIdcAboutVersion = 1001;
inline constexpr int kIdcAboutCopyright = 1002;

// Main window (template 131) and the aggregation window (template 132).
inline constexpr int kIdcStatusBar = 1100;
inline constexpr int kIdcOpenHideRr = 1101;      // check box of the open-file dialog
inline constexpr int kIdcOpenHeaderOnly = 1102;  // check box of the open-file dialog
inline constexpr int kIdcGoLine = 1110;
inline constexpr int kIdcLineNumber = 1111;
inline constexpr int kIdcGoIndex = 1112;
inline constexpr int kIdcIndexNumber = 1113;
inline constexpr int kIdcSelectionTime = 1114;
inline constexpr int kIdcShowSelection = 1115;
inline constexpr int kIdcSwapBc = 1116;
inline constexpr int kIdcSearchAggregate = 1117;
inline constexpr int kIdcCallAggregate = 1118;
inline constexpr int kIdcSearchText = 1120;
inline constexpr int kIdcFindNext = 1121;
inline constexpr int kIdcFindPrevious = 1122;
inline constexpr int kIdcReload = 1123;
inline constexpr int kIdcLegend = 1130;
inline constexpr int kIdcPaneFrame = 1131;  // placeholder of the pane frame

// Progress dialog (template 150).
inline constexpr int kIdcProgGroup = 1200;
inline constexpr int kIdcProgLblStat = 1201;
inline constexpr int kIdcProgBar = 1202;
inline constexpr int kIdcProgLblMsg = 1203;
inline constexpr int kIdcProgStop = 1204;

// Header information dialog (template 133).
inline constexpr int kIdcPropertyText = 1300;

// Option dialog (template 140).
inline constexpr int kIdcOptionTab = 1400;
inline constexpr int kIdcOptionCancel = 1401;
inline constexpr int kIdcOptionApply = 1402;
inline constexpr int kIdcOptionReset = 1403;

// Option pages: highlight rules (template 141), rule r at 1500 + 3r.
inline constexpr int kIdcMarkText = 1500;
inline constexpr int kIdcMarkSearch = 1501;
inline constexpr int kIdcMarkBlocks = 1502;
inline constexpr int kMarkRowStride = 3;
// Colours (template 142).
inline constexpr int kIdcColorList = 1600;
inline constexpr int kIdcColorSample = 1601;
inline constexpr int kIdcColorText = 1610;
inline constexpr int kIdcColorBack = 1611;
inline constexpr int kIdcColorNormalText = 1612;
inline constexpr int kIdcColorNormalBack = 1613;
inline constexpr int kIdcColorDefaults = 1614;
inline constexpr int kIdcColorKeepText = 1620;
inline constexpr int kIdcColorKeepBack = 1621;
inline constexpr int kIdcColorBaseFirst = 1630;  // 1630-1633: base items of classes 1-4
// Block information (template 143).
inline constexpr int kIdcBlockTitleFirst = 1700;  // 1700-1703: blocks A-D
inline constexpr int kIdcBlockWrap = 1710;
inline constexpr int kIdcBlockWrapNote = 1711;
inline constexpr int kIdcBlockIndentFirst = 1720;  // 1720-1723: blocks A-D
inline constexpr int kIdcBlockTitlesOneRow = 1730;
inline constexpr int kIdcBlockMargin = 1731;

// Divide dialog (template 135).
inline constexpr int kIdcDivideSource = 1800;
inline constexpr int kIdcDivideFolder = 1801;
inline constexpr int kIdcDivideBrowseSource = 1802;
inline constexpr int kIdcDivideBrowseFolder = 1803;
inline constexpr int kIdcDivideTakeDisplayed = 1804;
inline constexpr int kIdcDivideTakeFolder = 1805;
inline constexpr int kIdcDivideLblStat = 1810;
inline constexpr int kIdcDivideRun = 1811;
inline constexpr int kIdcDivideClose = 1812;

// Start date/time correction dialog (template 134).
inline constexpr int kIdcDiffGroup = 1900;
inline constexpr int kIdcDiffInput = 1901;
inline constexpr int kIdcDiffCancel = 1903;
inline constexpr int kIdcDiffCurrent = 1904;
inline constexpr int kIdcDiffReset = 1905;
inline constexpr int kIdcDiffApply = 1906;

// Pane frame.
inline constexpr int kAfxIdwPaneFirst = 0xE900;

// Commands of menu 128 (main window).
inline constexpr int kCmdAbout = 16;  // also a system-menu command
inline constexpr int kCmdOpen = 57601;
inline constexpr int kCmdProperty = 32770;
inline constexpr int kCmdSaveCorrection = 57603;
inline constexpr int kCmdDivide = 32771;
inline constexpr int kCmdOption = 32772;
inline constexpr int kCmdExit = 57665;
inline constexpr int kCmdClearRecent = 32773;
inline constexpr int kCmdRecentFirst = 57616;
inline constexpr int kCmdRecentLast = 57625;
inline constexpr int kCmdReload = 32774;
inline constexpr int kCmdShowSelection = 32790;
inline constexpr int kCmdFocusSearch = 32791;
inline constexpr int kCmdFindNext = 32792;
inline constexpr int kCmdFindPrevious = 32793;
inline constexpr int kCmdSearchAggregate = 32794;
inline constexpr int kCmdCallAggregate = 32795;
inline constexpr int kCmdClearSearchHistory = 32796;
inline constexpr int kCmdCallList = 32797;     // the call list window
inline constexpr int kCmdSampleFirst = 32800;  // the placeholder item of the samples popup
inline constexpr int kCmdSampleAnd = 32801;
inline constexpr int kCmdSampleOr = 32802;
inline constexpr int kCmdSampleLast = 32809;
inline constexpr int kCmdClose = 32820;  // aggregation window
inline constexpr int kCmdLayoutColumns = 32821;
inline constexpr int kCmdFontSizeFirst = 32822;  // 20.0, the placeholder of the sizes popup
inline constexpr int kCmdFontSizeTop = 32844;    // 9.0
inline constexpr int kCmdFontSizeLast = 32852;
inline constexpr int kCmdDateFormatFirst = 32853;
inline constexpr int kCmdDateFormatLast = 32856;
inline constexpr int kCmdHideRr = 32857;

// Commands of menu 130 (block panes' context menu).
inline constexpr int kCmdCopyWord = 34000;
inline constexpr int kCmdCopyRange = 34001;
inline constexpr int kCmdCorrectLine = 34002;
inline constexpr int kCmdSwapBc = 34010;
inline constexpr int kCmdAscendingOrder = 34011;
inline constexpr int kCmdExchangeFirst = 34012;
inline constexpr int kCmdExchangeLast = 34014;
inline constexpr int kCmdLapdDetail = 34015;

}  // namespace tessary::res
