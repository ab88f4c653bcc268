// Labels of the command trace, in UTF-8. The Windows trace writes them in
// code page 932, as the cutter's service tools expect.
#pragma once
#include <string_view>

namespace osa::label {

inline constexpr std::string_view FullCheck = "ファームバッファの確認(FULL_CHECK)：";
inline constexpr std::string_view FreeCheck = "ファームバッファの確認(FREE_CHECK)：";

inline constexpr std::string_view StartNotice = "Marlo TRAX コントローラ起動通知命令：";
inline constexpr std::string_view FirmwareVersion = "ファームバージョン応答：";
inline constexpr std::string_view MarkSensorReady = "トンボREADY/WAIT応答：";
inline constexpr std::string_view MarksAuto = "トンボ自動読取応答：";
inline constexpr std::string_view MarksManual = "トンボ読取応答：";
inline constexpr std::string_view SensorCorrection = "トンボセンサ位置補正応答：";
inline constexpr std::string_view FeedAdjustment = "送り方向応答：";

inline constexpr std::string_view CutCondition = "カット条件変更命令(Ostrandel)：";
inline constexpr std::string_view RollAction = "ならし動作変更命令：";
inline constexpr std::string_view CutConditionNumber = "カット条件番号変更命令：";
inline constexpr std::string_view CutSpeed = "カット速度変更命令：";
inline constexpr std::string_view CutPressure = "カット圧変更命令(Ostrandel)：";
inline constexpr std::string_view CutterOffset = "カッターオフセット変更命令：";
inline constexpr std::string_view ThickMediaMode = "アツモノモード変更命令：";
inline constexpr std::string_view DesignOrientation = "デザインの向き変更命令：";
inline constexpr std::string_view MovePen = "ペン移動命令：";
inline constexpr std::string_view TestCut = "テストカット命令：";
inline constexpr std::string_view OriginSet = "原点セット命令：";
inline constexpr std::string_view MarkSize = "トンボサイズ変更命令：";
inline constexpr std::string_view SensorCorrectionScan = "トンボセンサ位置補正スキャン命令：";
// The feed adjustment shares the label of the condition number.
inline constexpr std::string_view FeedAdjustmentWrite = CutConditionNumber;
inline constexpr std::string_view SensorCorrectionWrite = "トンボセンサ位置補正書き込み命令：";

} // namespace osa::label
