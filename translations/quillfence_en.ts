<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>DiskWidget</name>
    <message>
        <source>分区(%1)</source>
        <translation>Partition (%1)</translation>
    </message>
    <message>
        <source>%1GB可用 共%2G</source>
        <translation>%1 GB free of %2 GB</translation>
    </message>
    <message>
        <source>%1/%2G</source>
        <translation>%1/%2 GB</translation>
    </message>
    <message>
        <source>分区(%1)</source>
        <comment>two columns</comment>
        <translation>%1:</translation>
    </message>
</context>
<context>
    <name>FlashTestWindow</name>
    <message>
        <source>SSD Quillfence Flash Test</source>
        <translation>SSD Quillfence Flash Test</translation>
    </message>
    <message>
        <source>磁盘:</source>
        <translation>Disk:</translation>
    </message>
    <message>
        <source>物理磁盘%1  %2</source>
        <translation>Disk %1  %2</translation>
    </message>
</context>
<context>
    <name>FmDataMigrate</name>
    <message>
        <source>固件检测</source>
        <translation>Firmware check</translation>
    </message>
    <message>
        <source>固件状态:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Abnormal</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
</context>
<context>
    <name>FwUpdate</name>
    <message>
        <source>固件升级</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>N/A</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>已发送 %v / %m 条命令</source>
        <translation>%v of %m commands sent</translation>
    </message>
    <message>
        <source>即将升级此磁盘的固件：</source>
        <translation>About to update the firmware of this disk:</translation>
    </message>
    <message>
        <source>型号：%1</source>
        <translation>Model: %1</translation>
    </message>
    <message>
        <source>序列号：%1</source>
        <translation>Serial number: %1</translation>
    </message>
    <message>
        <source>当前固件版本：%1</source>
        <translation>Current firmware version: %1</translation>
    </message>
    <message>
        <source>容量：%1 GB</source>
        <translation>Capacity: %1 GB</translation>
    </message>
    <message>
        <source>升级文件：%1（%2 字节）</source>
        <translation>Update file: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>升级过程中请勿关闭电源或拔出磁盘。是否继续？</source>
        <translation>Do not turn off the power or unplug the disk during the update. Continue?</translation>
    </message>
    <message>
        <source>未能重新读取磁盘的固件版本；新固件可能要在磁盘断电并重新上电后才会生效</source>
        <translation>Could not read the firmware version again. The new firmware may only take effect after the disk is powered off and on again.</translation>
    </message>
    <message>
        <source>磁盘报告的固件版本仍为 %1：新固件可能要在磁盘断电并重新上电后才会生效</source>
        <translation>The disk still reports firmware version %1. The new firmware may only take effect after the disk is powered off and on again.</translation>
    </message>
    <message>
        <source>磁盘现在报告的固件版本为 %1</source>
        <translation>The disk now reports firmware version %1.</translation>
    </message>
    <message>
        <source>正在升级固件，请勿关闭电源或拔出磁盘</source>
        <translation>Updating firmware. Do not turn off the power or unplug the disk.</translation>
    </message>
    <message>
        <source>正在读取磁盘信息，固件未发送，请稍后再试</source>
        <translation>The disks are being read. No firmware was sent. Try again in a moment.</translation>
    </message>
    <message>
        <source>固件升级</source>
        <comment>button</comment>
        <translation>Update firmware</translation>
    </message>
</context>
<context>
    <name>HealthHistoryView</name>
    <message>
        <source>一周</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>一个月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>一年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>健康历史</source>
        <translation>Health history</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>剩余寿命</source>
        <translation>Remaining life</translation>
    </message>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>写入量</source>
        <translation>Data written</translation>
    </message>
    <message>
        <source>健康警报</source>
        <translation>Health alerts</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>变化</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>正在读取历史记录…</source>
        <translation>Reading the history…</translation>
    </message>
    <message>
        <source>没有用户数据文件夹</source>
        <translation>No user data folder</translation>
    </message>
    <message>
        <source>无法读取健康历史：%1</source>
        <translation>Cannot read the health history: %1</translation>
    </message>
    <message>
        <source>尚无此磁盘的历史记录：程序每次读取磁盘时记下一次。</source>
        <translation>No history for this disk yet: a point is recorded each time the disk is read.</translation>
    </message>
    <message>
        <source>此期间没有健康警报。</source>
        <translation>No health alerts in this period.</translation>
    </message>
    <message>
        <source>%1    序列号 %2</source>
        <translation>%1    Serial number %2</translation>
    </message>
    <message numerus="yes">
        <source>此期间有 %n 条健康警报。</source>
        <translation>
            <numerusform>%n health alert in this period.</numerusform>
            <numerusform>%n health alerts in this period.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HelpDlg</name>
    <message>
        <source>版本号:V1.0.1</source>
        <translation>Version 1.0.1</translation>
    </message>
    <message>
        <source>任何意见可以反馈到</source>
        <translation>Send feedback to</translation>
    </message>
    <message>
        <source>Copyright © 2026 Quillfence 保留所有权利</source>
        <translation>© 2026 Quillfence. All rights reserved.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>HistoryChart</name>
    <message>
        <source>此期间没有数据</source>
        <translation>No data in this period</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>跟随系统</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>界面语言将在程序下次启动时切换。</source>
        <translation>The language will change the next time the program starts.</translation>
    </message>
    <message>
        <source>无法保存语言设置：设置文件无法写入。</source>
        <translation>The language could not be saved: the settings file cannot be written.</translation>
    </message>
</context>
<context>
    <name>MainWin</name>
    <message>
        <source>剩余寿命</source>
        <translation>Remaining life</translation>
    </message>
    <message>
        <source>未能检测分区</source>
        <translation>No partitions found</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>硬盘数:</source>
        <translation>Disks:</translation>
    </message>
    <message>
        <source>正在读取磁盘…</source>
        <translation>Reading disks…</translation>
    </message>
    <message>
        <source>未检测到磁盘</source>
        <translation>No disks found</translation>
    </message>
    <message>
        <source>系统盘未列出</source>
        <translation>System disk not listed</translation>
    </message>
    <message>
        <source>需要管理员权限</source>
        <translation>Administrator rights needed</translation>
    </message>
    <message>
        <source>读取磁盘需要管理员密码</source>
        <translation>Password needed to read disks</translation>
    </message>
    <message>
        <source>正在升级固件</source>
        <translation>Updating firmware</translation>
    </message>
    <message>
        <source>物理磁盘%1  （系统盘）%2</source>
        <translation>Disk %1  (system disk) %2</translation>
    </message>
    <message>
        <source>物理磁盘%1  %2</source>
        <translation>Disk %1  %2</translation>
    </message>
    <message>
        <source>显示系统盘</source>
        <translation>Show system disk</translation>
    </message>
    <message>
        <source>设置未能保存，下次启动时需要重新选择</source>
        <translation>The setting could not be saved. Choose it again at the next start.</translation>
    </message>
    <message>
        <source>未能读取剩余寿命</source>
        <translation>Remaining life unknown</translation>
    </message>
    <message>
        <source>未能读取磁盘信息</source>
        <translation>Disk details unreadable</translation>
    </message>
    <message>
        <source>刷新中</source>
        <translation>Busy</translation>
    </message>
    <message>
        <source>S.M.A.R.T信息</source>
        <translation>S.M.A.R.T. info</translation>
    </message>
    <message>
        <source>固件检测</source>
        <translation>Firmware check</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Flash Test</source>
        <translation>Flash test</translation>
    </message>
    <message>
        <source>点我刷新</source>
        <translation>Click to refresh</translation>
    </message>
    <message>
        <source>复制信息到剪贴板</source>
        <translation>Copy details to clipboard</translation>
    </message>
    <message>
        <source>健康指标：%1</source>
        <translation>Health: %1</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>隐藏</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>正在升级固件，升级结束后才能关闭</source>
        <translation>Updating firmware. You can close the window once the update ends.</translation>
    </message>
    <message>
        <source>正在升级固件，升级结束前不能退出。是否在升级结束后退出？</source>
        <translation>Updating firmware. You cannot quit before the update ends. Quit once it ends?</translation>
    </message>
    <message>
        <source>功能</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>file write</source>
        <translation>File write</translation>
    </message>
    <message>
        <source>can&apos;t open</source>
        <translation>Cannot open the file.</translation>
    </message>
    <message>
        <source>健康指标：优秀</source>
        <translation>Health: Excellent</translation>
    </message>
</context>
<context>
    <name>MyTitleBar</name>
    <message>
        <source>关于我们</source>
        <translation>About</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>QMessageDlg</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>continue</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>最小化到任务栏</source>
        <translation>Minimize to the tray</translation>
    </message>
    <message>
        <source>退出软件</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>记住我的选择</source>
        <translation>Remember my choice</translation>
    </message>
</context>
<context>
    <name>SecondInstance</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>程序已启动</source>
        <translation>SSD Quillfence is already running.</translation>
    </message>
</context>
<context>
    <name>Smart</name>
    <message>
        <source>物理磁盘%1  %2</source>
        <translation>Disk %1  %2</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Excel 文件(*.xls *.xlsx)</source>
        <translation>Excel files (*.xls *.xlsx)</translation>
    </message>
    <message>
        <source>文件已经导出，是否现在打开？</source>
        <translation>The file was exported. Open it now?</translation>
    </message>
    <message>
        <source>文件未能写入：%1</source>
        <translation>Could not write the file: %1</translation>
    </message>
    <message>
        <source>未找到可以打开此文件的程序</source>
        <translation>No program was found to open this file.</translation>
    </message>
    <message>
        <source>S.M.A.R.T信息</source>
        <translation>S.M.A.R.T. info</translation>
    </message>
    <message>
        <source>复制到剪切板</source>
        <translation>Copy to clipboard</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
</context>
<context>
    <name>SwUpdate</name>
    <message>
        <source>此磁盘是系统盘，不能进行测试</source>
        <translation>This is the system disk: it cannot be tested.</translation>
    </message>
    <message>
        <source>Flash正常</source>
        <translation>Flash OK</translation>
    </message>
    <message>
        <source>Flash异常</source>
        <translation>Flash faulty</translation>
    </message>
    <message>
        <source>R/W正常</source>
        <translation>R/W OK</translation>
    </message>
    <message>
        <source>R/W异常</source>
        <translation>R/W faulty</translation>
    </message>
    <message>
        <source>正在测试，测试结束后才能关闭</source>
        <translation>A test is running. You can close the window once it ends.</translation>
    </message>
    <message>
        <source>Flash测试</source>
        <translation>Flash test</translation>
    </message>
    <message>
        <source>序列号:</source>
        <translation>Serial:</translation>
    </message>
    <message>
        <source>型号:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>固件版本:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>容量:</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source>测试容量:</source>
        <translation>Test size:</translation>
    </message>
    <message>
        <source>请选择容量</source>
        <translation>Choose a size</translation>
    </message>
    <message>
        <source>读写测试</source>
        <translation>R/W test</translation>
    </message>
    <message>
        <source>正在测试，请勿断开磁盘</source>
        <translation>Testing. Do not disconnect the disk.</translation>
    </message>
    <message>
        <source>请连接磁盘</source>
        <translation>Please connect a disk.</translation>
    </message>
    <message>
        <source>4M盘不能进行读写测试</source>
        <translation>A 4M disk cannot take the R/W test.</translation>
    </message>
    <message>
        <source>启动失败</source>
        <translation>Could not start the test.</translation>
    </message>
    <message>
        <source>R/W测试将格式化磁盘，是否继续</source>
        <translation>The R/W test formats the disk. Continue?</translation>
    </message>
</context>
<context>
    <name>TrayWatch</name>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>15分钟</source>
        <translation>15 minutes</translation>
    </message>
    <message>
        <source>1小时</source>
        <translation>1 hour</translation>
    </message>
    <message>
        <source>6小时</source>
        <translation>6 hours</translation>
    </message>
    <message>
        <source>1天</source>
        <translation>1 day</translation>
    </message>
    <message>
        <source>检查间隔</source>
        <translation>Check interval</translation>
    </message>
    <message>
        <source>健康历史数据库已损坏，已改名为 %1 保留，并已新建数据库。</source>
        <translation>The health history database was damaged. It was kept as %1 and a new one was started.</translation>
    </message>
    <message>
        <source>无法写入健康历史：%1</source>
        <translation>Cannot write the health history: %1</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>剩余寿命 %1%</source>
        <translation>Remaining life: %1%</translation>
    </message>
    <message>
        <source>健康指标 %1</source>
        <translation>Health: %1</translation>
    </message>
</context>
<context>
    <name>firmware</name>
    <message>
        <source>升级文件路径为空</source>
        <translation>No firmware file was given.</translation>
    </message>
    <message>
        <source>升级文件大小为0</source>
        <translation>The firmware file is empty or missing.</translation>
    </message>
    <message>
        <source>升级文件句柄打开失败</source>
        <translation>The firmware file could not be opened.</translation>
    </message>
    <message>
        <source>内存申请失败</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>读升级文件失败</source>
        <translation>The firmware file could not be read.</translation>
    </message>
    <message>
        <source>升级文件过大</source>
        <translation>The firmware file is too large.</translation>
    </message>
    <message>
        <source>固件升级成功</source>
        <translation>The firmware was updated.</translation>
    </message>
    <message>
        <source>固件升级命令交互出错</source>
        <translation>A firmware update command failed.</translation>
    </message>
    <message>
        <source>已是最新版本无需升级</source>
        <translation>The firmware is up to date.</translation>
    </message>
    <message>
        <source>NVMe硬盘不支持固件升级</source>
        <translation>Firmware updates are not available for NVMe drives.</translation>
    </message>
    <message>
        <source>此磁盘是系统盘，不能升级固件，没有发送任何数据</source>
        <translation>This is the system drive: its firmware cannot be updated. Nothing was sent.</translation>
    </message>
    <message>
        <source>另一个程序正在升级此磁盘的固件，没有发送任何数据，请等它结束后再试</source>
        <translation>Another program is updating this drive&apos;s firmware. Nothing was sent. Try again when it has finished.</translation>
    </message>
    <message>
        <source>升级固件需要管理员密码，未获授权，没有发送任何数据</source>
        <translation>Updating the firmware needs the administrator password, and it was not given. Nothing was sent.</translation>
    </message>
    <message>
        <source>此磁盘已移除或已换成另一块磁盘，没有发送任何数据，请刷新后再试</source>
        <translation>This drive was removed or replaced by another one. Nothing was sent. Refresh and try again.</translation>
    </message>
    <message>
        <source>没有打开此磁盘的权限，没有发送任何数据</source>
        <translation>You do not have permission to open this drive. Nothing was sent.</translation>
    </message>
    <message>
        <source>无法打开或锁定此磁盘，没有发送任何数据</source>
        <translation>This drive could not be opened or locked. Nothing was sent.</translation>
    </message>
</context>
<context>
    <name>history</name>
    <message>
        <source>重映射扇区数</source>
        <translation>Reallocated sectors</translation>
    </message>
    <message>
        <source>重映射事件数</source>
        <translation>Reallocation events</translation>
    </message>
    <message>
        <source>无法校正的错误数</source>
        <translation>Uncorrectable errors</translation>
    </message>
    <message>
        <source>异常关机次数</source>
        <translation>Unsafe shutdowns</translation>
    </message>
    <message>
        <source>意外掉电次数</source>
        <translation>Unexpected power losses</translation>
    </message>
    <message>
        <source>健康指标由%1降为%2（剩余寿命%3%）</source>
        <translation>Health fell from %1 to %2 (remaining life %3%)</translation>
    </message>
    <message>
        <source>%1的状态由%2变为%3（限值%4）</source>
        <translation>%1 status changed from %2 to %3 (limit %4)</translation>
    </message>
    <message>
        <source>%1由%2增至%3</source>
        <translation>%1 rose from %2 to %3</translation>
    </message>
    <message>
        <source>出现严重警告：%1</source>
        <translation>Critical warning: %1</translation>
    </message>
    <message>
        <source>%1达到%2℃，超过上限%3℃</source>
        <translation>%1 reached %2 °C, above its limit of %3 °C</translation>
    </message>
    <message>
        <source>%1（序列号 %2）</source>
        <translation>%1 (serial number %2)</translation>
    </message>
    <message>
        <source>属性%1</source>
        <translation>Attribute %1</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>超限</source>
        <translation>over the limit</translation>
    </message>
    <message>
        <source>风险</source>
        <translation>at risk</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>failing</translation>
    </message>
</context>
<context>
    <name>smart</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Fair</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>警告(%1)</source>
        <translation>Warning (%1)</translation>
    </message>
    <message>
        <source>OK(%1)</source>
        <translation>OK (%1)</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1项</source>
        <translation>%1 active</translation>
    </message>
    <message>
        <source>严重警告：%1</source>
        <translation>Critical: %1</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>严重警告</source>
        <translation>Critical warning</translation>
    </message>
    <message>
        <source>综合温度</source>
        <translation>Composite temperature</translation>
    </message>
    <message>
        <source>可用备用空间</source>
        <translation>Available spare</translation>
    </message>
    <message>
        <source>备用空间阈值</source>
        <translation>Available spare threshold</translation>
    </message>
    <message>
        <source>已用寿命</source>
        <translation>Life used</translation>
    </message>
    <message>
        <source>Host读取量</source>
        <translation>Host data read</translation>
    </message>
    <message>
        <source>Host写入量</source>
        <translation>Host data written</translation>
    </message>
    <message>
        <source>Host读取命令数</source>
        <translation>Host read commands</translation>
    </message>
    <message>
        <source>Host写入命令数</source>
        <translation>Host write commands</translation>
    </message>
    <message>
        <source>控制器忙碌时间</source>
        <translation>Controller busy time</translation>
    </message>
    <message>
        <source>上电次数</source>
        <translation>Power cycles</translation>
    </message>
    <message>
        <source>带电工作时间</source>
        <translation>Power-on hours</translation>
    </message>
    <message>
        <source>异常掉电次数</source>
        <translation>Unexpected power losses</translation>
    </message>
    <message>
        <source>介质与数据完整性错误</source>
        <translation>Media and data integrity errors</translation>
    </message>
    <message>
        <source>错误日志条目数</source>
        <translation>Error log entries</translation>
    </message>
    <message>
        <source>警告温度时间</source>
        <translation>Time above warning temperature</translation>
    </message>
    <message>
        <source>严重温度时间</source>
        <translation>Time above critical temperature</translation>
    </message>
    <message>
        <source>温度传感器1</source>
        <translation>Temperature sensor 1</translation>
    </message>
    <message>
        <source>温度传感器2</source>
        <translation>Temperature sensor 2</translation>
    </message>
    <message>
        <source>温度传感器3</source>
        <translation>Temperature sensor 3</translation>
    </message>
    <message>
        <source>温度传感器4</source>
        <translation>Temperature sensor 4</translation>
    </message>
    <message>
        <source>温度传感器5</source>
        <translation>Temperature sensor 5</translation>
    </message>
    <message>
        <source>温度传感器6</source>
        <translation>Temperature sensor 6</translation>
    </message>
    <message>
        <source>温度传感器7</source>
        <translation>Temperature sensor 7</translation>
    </message>
    <message>
        <source>温度传感器8</source>
        <translation>Temperature sensor 8</translation>
    </message>
    <message>
        <source>可用备用空间低于阈值</source>
        <translation>Spare below threshold</translation>
    </message>
    <message>
        <source>温度超出阈值</source>
        <translation>Temperature out of range</translation>
    </message>
    <message>
        <source>可靠性下降</source>
        <translation>Reliability degraded</translation>
    </message>
    <message>
        <source>介质已转为只读</source>
        <translation>Media read-only</translation>
    </message>
    <message>
        <source>易失性存储备份失效</source>
        <translation>Volatile backup failed</translation>
    </message>
    <message>
        <source>持久内存区已转为只读</source>
        <translation>Persistent memory read-only</translation>
    </message>
    <message>
        <source>保留位6</source>
        <translation>Reserved bit 6</translation>
    </message>
    <message>
        <source>保留位7</source>
        <translation>Reserved bit 7</translation>
    </message>
    <message>
        <source>新增坏块数</source>
        <translation>New bad blocks</translation>
    </message>
    <message>
        <source>平均磨损次数</source>
        <translation>Average erase count</translation>
    </message>
    <message>
        <source>当前温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>最小温度</source>
        <translation>Lowest temperature</translation>
    </message>
    <message>
        <source>最大温度</source>
        <translation>Highest temperature</translation>
    </message>
    <message>
        <source>剩余寿命</source>
        <translation>Remaining life</translation>
    </message>
    <message>
        <source>Nand读取量</source>
        <translation>NAND data read</translation>
    </message>
    <message>
        <source>Nand写入量</source>
        <translation>NAND data written</translation>
    </message>
    <message>
        <source>电容</source>
        <translation>Capacitance</translation>
    </message>
    <message>
        <source>最大磨损次数</source>
        <translation>Highest erase count</translation>
    </message>
    <message>
        <source>最小磨损次数</source>
        <translation>Lowest erase count</translation>
    </message>
    <message>
        <source>总坏块数</source>
        <translation>Total bad blocks</translation>
    </message>
    <message>
        <source>未能读取SMART信息</source>
        <translation>No SMART data</translation>
    </message>
    <message>
        <source>该磁盘未提供SMART属性</source>
        <translation>This drive reports no SMART attributes</translation>
    </message>
    <message>
        <source>%1小时</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1次</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1个</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1℃</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>%1扇区</source>
        <translation>%1 sectors</translation>
    </message>
    <message>
        <source>%1微法</source>
        <translation>%1 µF</translation>
    </message>
    <message>
        <source>%1字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1条</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1
十进制：%2</source>
        <translation>%1
Decimal: %2</translation>
    </message>
    <message>
        <source>%1(%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>风险(%1)</source>
        <translation>At risk (%1)</translation>
    </message>
    <message>
        <source>异常(%1)</source>
        <translation>Failing (%1)</translation>
    </message>
</context>
</TS>
