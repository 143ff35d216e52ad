#pragma once
// Texts of the parameter settings command, the module parameter dialog, the work-mode
// dialog and the change record.

namespace ui::texts {

// Command 106.
inline constexpr const char* select_only_one = "只允许在<IP参数栏>选择一个模块!";
inline constexpr const char* select_first = "请在<IP参数栏>先选择要修改的模块!";
inline constexpr const char* selection_unreadable = "模块IP参数读取错误!";
inline constexpr const char* not_sensor_module = "非QT/QV9K模块!";
inline constexpr const char* ip_write_failed = "IP参数修改出现错误!";
inline constexpr const char* change_record_failed = "write chg_record err";

// The module parameter dialog.
inline constexpr const char* parameter_title = "模块参数设定：";
inline constexpr const char* parameter_subnet = "模块所在子网:";
inline constexpr const char* parameter_subnet_remote = "模块所在子网内/外部IP:";
inline constexpr const char* parameter_ip = "IP地址:";
inline constexpr const char* parameter_gateway = "网关IP:";
inline constexpr const char* parameter_mask = "子网掩码:";
inline constexpr const char* parameter_port = "端口:";
inline constexpr const char* parameter_baud = "波特率:";
inline constexpr const char* parameter_mode_group = "模块工作方式设定:";
inline constexpr const char* mode_radio[5] = {"TCP方式", "UDP方式", "SNMP方式", "AUDP方式(主动上传)", "ATCP方式(主动上传)"};
inline constexpr const char* parameter_upload_button = "主动上传参数...";
inline constexpr const char* parameter_wireless_button = "无线参数...";
inline constexpr const char* parameter_defaults = "恢复缺省值";
inline constexpr const char* parameter_ok = "确    认";
inline constexpr const char* parameter_leave = "退    出";

inline constexpr const char* outside_subnet_question = "非本子网模块,需首先将其更改为本子网IP,\r\n才可设置参数. 是否进行操作?";
inline constexpr const char* unknown_parameters_question = "模块参数不详,需将其参数进行初始化\r\n才可进行下一步修改. 是否进行操作?";
inline constexpr const char* readdress_no_free_host = "本机子网可用主机地址空间不足! 请检查本机网络参数设置!";
inline constexpr const char* readdress_failed = "网络操作出现错误! 请检查网络参数设置,重新尝试!";
inline constexpr const char* remote_upload_hint =
    "提示: 若要在本机接收远程模块的上传数据测试，\r\n可将远程模块的<接收端IP>及<使用端口>两项参数设置为本机的外部IP及端口，\r\n"
    "然后，可在<基本设置> --> <启动Server模式> 进行测试。";
inline constexpr const char* wireless_read_failed = "WIFI参读取错误!";
inline constexpr const char* port_range = "PORT参数需在1000-65533范围内!";
inline constexpr const char* mask_error =
    "MASK参数设定错误,请重新输入!\r\n<建议：此参数应尽量保持为0.0.0.0,不作设置,不影响正常使用.>";
inline constexpr const char* nothing_changed = "未做任何修改, 如无需修改, 请按<退出>键!";
inline constexpr const char* wireless_confirm =
    "提示: \r\n请记录各无线参数(可参见: chg_record.txt)!\r\n以便于设定接入设备的相关参数.\r\n\r\n确认修改?";
inline constexpr const char* wireless_write_failed = "无线参数设置错误!";
inline constexpr const char* confirm_change = "确认修改?";
inline constexpr const char* confirm_remote_change = "确认修改远程模块参数?";
inline constexpr const char* remote_write_failed = "远程模块参数修改错误!";
inline constexpr const char* remote_write_done = "远程模块参数修改成功!";

// The gateway check.
inline constexpr const char* gateway_advice = "<建议: 非特殊情况,网关IP应尽量保持为0.0.0.0, 不作设置,不影响正常使用>.";
inline constexpr const char* gateway_equals_ip = "模块IP与网关IP相同! 请重新输入!\r\n";
inline constexpr const char* mask_mismatch =
    "MASK参数与模块IP,网关IP匹配错误,请重新输入!\r\n<建议：此参数应尽量保持为0.0.0.0,不作设置,不影响正常使用.>";
inline constexpr const char* mask_wider_than_local =
    "输入的模块IP,网关IP在本机子网中,但子网掩码位数超过本机子网! 请重新输入!\r\n";
inline constexpr const char* mask_advice = "<建议: 此参数应尽量保持为0.0.0.0, 不作设置,不影响正常使用>.";
inline constexpr const char* outside_all_subnets =
    "注意:\r\n输入的模块IP,网关IP不在本机所有子网中,且网关(GATEWAY)IP非零(0.0.0.0)!\r\n\r\n"
    "如满足以下条件则请选择 <确认> 键, 否则请选择 <取消> 键重新输入!\r\n\r\n"
    "1--此QV/QT9K模块将在所设定的子网中工作,而不在本机子网中工作.\r\n"
    "2--已妥善纪录模块参数(可参见: chg_record.txt),留作备用.";
inline constexpr const char* zero_ip_gateway =
    "模块IP为0.0.0.0，建议网关IP也设为0.0.0.0! \r\n重新输入,请选择<是[Y]>; 继续下一步,选择<否[N]>";
inline constexpr const char* gateway_other_class = "模块IP与网关IP不在同一类网段内(A,B,C类)! 请重新输入!\r\n";
inline constexpr const char* gateway_other_subnet = "模块IP与网关IP不在同一子网内! 请重新输入!\r\n";
inline constexpr const char* gateway_not_local =
    "提示: 模块IP与网关IP与本机不在同一子网内!\r\n重新输入,请选择<是[Y]>; 继续下一步,选择<否[N]>";

// The work-mode dialog.
inline constexpr const char* work_mode_title = "工作模式选择:";
inline constexpr const char* work_mode_group = "工作方式:";
inline constexpr const char* work_mode_warning = "注意: 请确认所选工作模式与远程模块相同!";
inline constexpr const char* work_mode_chosen = "所选工作模式为: ";
inline constexpr const char* work_mode_names[3] = {"TCP ,", "UDP ,", "SNMP ,"};
inline constexpr const char* work_mode_try = "按<确认>键进行尝试连接...";

}  // namespace ui::texts
