#pragma once
// Texts of the data list: the reading fields and the status line of each module.

namespace ui::texts {

// Reading fields, shared with the upload log.
inline constexpr const char* temperature_field = "%+06.3f℃/";
inline constexpr const char* temperature_missing = "  ------ /";
inline constexpr const char* humidity_field = "%4.1f%%RH";
inline constexpr const char* humidity_missing = " ------";
inline constexpr const char* inputs_field = "  DI[5->0]: < %02d - %04d >";
inline constexpr const char* inputs_missing = "-<---- ---->";

// Status lines, with the list position counted from 1.
inline constexpr const char* line_outside_subnet = "%02d---<模块不在本机子网内!>---";
inline constexpr const char* line_raw_only = "%02d---<在本机子网内,但参数不详,建议进行参数设置!>---";
inline constexpr const char* line_not_sensor = "%02d---< 非QV/QT9K模块! >---";
inline constexpr const char* line_mode_error = "%02d --<工作模式错误,无法建立连接,建议进行参数设置!>--";
inline constexpr const char* line_active_upload = "%02d --< 模块当前为主动上传模式 >--";
inline constexpr const char* line_no_connection = "%02d --<无法与模块建立连接!>--";
inline constexpr const char* line_no_response = "%02d---<模块无响应!>---";
inline constexpr const char* line_no_data = "%02d---<无响应数据!>---";
inline constexpr const char* line_check_error = "%02d---<数据校验错误! >---";

// Reading lines: text modules show the firmware version, SNMP modules their name.
inline constexpr const char* line_text_head = "%02d--V%02X--";
inline constexpr const char* line_snmp_head = "%02d--( ";
inline constexpr const char* line_snmp_name_end = "  ) ";
inline constexpr const char* snmp_temperature_field = "%+03d.%d00℃/";
inline constexpr const char* snmp_temperature_missing = "---.---℃/";
inline constexpr const char* snmp_humidity_missing = "--.-%%RH";  // a format without arguments
inline constexpr const char* snmp_inputs_field = "  DI[5->0]: < %02d - %04d > ";
inline constexpr const char* snmp_inputs_missing = "  DI[5->0]: < -- ---- >";

}  // namespace ui::texts
