#pragma once
// Control ids of the main dialog. Names follow the role of the control; the numbers are the
// dialog's own and are what every handler and the dialog template use.

#include "ui/DialogTemplate.h"

namespace uhf::idc {

inline constexpr int None = kNoId;  // static controls without an id

// Operator and command buttons
inline constexpr int Connect = 1000;
inline constexpr int Disconnect = 1015;
inline constexpr int FactoryDefault = 1017;
inline constexpr int ReadTag = 1018;
inline constexpr int SaveChanges = 1027;
inline constexpr int ReadConfig = 1028;
inline constexpr int SetAddress = 1064;
inline constexpr int GetAddress = 1065;
inline constexpr int ReadTagTestDecimal = 1066;
inline constexpr int ReadTagTestHex = 1067;
inline constexpr int ReadTagUsb = 1081;

// Display controls
inline constexpr int StatusPanel = 1093;
inline constexpr int Banner = 1048;
inline constexpr int VersionLabel = 1068;
inline constexpr int SerialNumberLabel = 1082;
inline constexpr int RfGroup = 1039;
inline constexpr int PowerLabel = 1040;
inline constexpr int FreqLabel = 1041;
inline constexpr int ToLabel = 1042;
inline constexpr int KhzLabel = 1043;
inline constexpr int IndicatorGroup = 1034;
inline constexpr int WorkModeGroup = 1037;
inline constexpr int ReadTimeLabel = 1044;
inline constexpr int ReadTimeUnit = 1045;
inline constexpr int WiegandFormatGroup = 1091;
inline constexpr int OutputTimeGroup = 1090;
inline constexpr int OutputTimeLabel = 1088;
inline constexpr int TagIntervalGroup = 1084;
inline constexpr int TagIntervalLabel = 1089;
inline constexpr int WiegandOutputGroup = 1083;
inline constexpr int StartBytesLabel = 1086;
inline constexpr int LengthLabel = 1087;

// Parameter controls
inline constexpr int Power = 1069;
inline constexpr int FreqStart = 1059;
inline constexpr int FreqEnd = 1060;
inline constexpr int Buzzer = 1013;
inline constexpr int ReadAlways = 1029;
inline constexpr int ReadByTrigger = 1030;
inline constexpr int ReadTime = 1062;
inline constexpr int Wiegand26 = 1025;
inline constexpr int Wiegand34 = 1026;
inline constexpr int OutputTime = 1061;
inline constexpr int TagInterval = 1053;
inline constexpr int ForwardOutput = 1056;
inline constexpr int InvertedOutput = 1057;
inline constexpr int StartBytes = 1080;
inline constexpr int Length = 1079;

// Hidden controls
inline constexpr int ConnectionGroup = 1031;
inline constexpr int ComPortLabel = 1032;
inline constexpr int ComPort = 1006;
inline constexpr int ConnBaudLabel = 1033;
inline constexpr int ConnBaud = 1011;
inline constexpr int Usb = 1074;
inline constexpr int Com = 1075;
inline constexpr int TcpUdp = 1076;
inline constexpr int HostIp = 1070;
inline constexpr int HostPort = 1072;
inline constexpr int ReaderIp = 1071;
inline constexpr int ReaderPort = 1073;
inline constexpr int TagList = 1019;
inline constexpr int Fcc = 1077;
inline constexpr int Etsi = 1078;
inline constexpr int AddressGroup = 1036;
inline constexpr int AddressBaudLabel = 1035;
inline constexpr int AddressBaud = 1002;
inline constexpr int ReaderAddress = 1063;
inline constexpr int PasswordGroup = 1046;
inline constexpr int PasswordYes = 1050;
inline constexpr int PasswordNo = 1051;
inline constexpr int Password = 1052;
inline constexpr int Led = 1012;
inline constexpr int PowerValue = 1024;

// Engineering view: tag statistics and actions, the selected tag's Wiegand detail and the
// exchange log. Laid out, not wired yet: the actions stay disabled until they are.
inline constexpr int TotalReadsLabel = 1100;
inline constexpr int UniqueTagsLabel = 1101;
inline constexpr int ReadRateLabel = 1102;
inline constexpr int ClearTags = 1103;
inline constexpr int ExportCsv = 1104;
inline constexpr int StartStopReads = 1105;
inline constexpr int WiegandDetail = 1106;
inline constexpr int ExchangeLog = 1107;
inline constexpr int CopyLog = 1108;
inline constexpr int SaveLog = 1109;

}  // namespace uhf::idc
