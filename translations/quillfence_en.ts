<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>打开</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FmDataMigrate</name>
    <message>
        <source>FmDataMigrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件状态:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FwUpdate</name>
    <message>
        <source>FwUpdate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>N/A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HealthHistoryView</name>
    <message>
        <source>一周</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>一个月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>一年</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>健康历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>剩余寿命</source>
        <translation type="unfinished">Remaining life</translation>
    </message>
    <message>
        <source>温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>健康警报</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>变化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在读取历史记录…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有用户数据文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取健康历史：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>尚无此磁盘的历史记录：程序每次读取磁盘时记下一次。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>此期间没有健康警报。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>此期间有 %1 条健康警报。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpDlg</name>
    <message>
        <source>HelpDlg</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryChart</name>
    <message>
        <source>此期间没有数据</source>
        <translation type="unfinished"></translation>
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
        <source>SSD Quillfence</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>color: rgb(185, 206, 248);</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QuorventaSSD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>健康指标：优秀</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>剩余寿命</source>
        <translation type="unfinished">Remaining life</translation>
    </message>
    <message>
        <source>color: rgb(235, 243, 254);</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未能检测分区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>刷新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>color: white; font: 13px &quot;Arial&quot;;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>硬盘数:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>background-image: url(:/Quillfence/Resources/add/box_arrow_up2x.png);</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在读取磁盘…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未检测到磁盘</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统盘未列出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需要管理员权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取磁盘需要管理员密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在升级固件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>物理磁盘%1  （系统盘）%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>物理磁盘%1  %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示系统盘</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置未能保存，下次启动时需要重新选择</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Smart</name>
    <message>
        <source>物理磁盘%1  %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwUpdate</name>
    <message>
        <source>此磁盘是系统盘，不能进行测试</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayWatch</name>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>15分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1小时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6小时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检查间隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>健康历史数据库已损坏，已改名为 %1 保留，并已新建数据库。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入健康历史：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>剩余寿命 %1%</source>
        <translation>Remaining life %1%</translation>
    </message>
    <message>
        <source>健康指标 %1</source>
        <translation>Health %1</translation>
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
        <translation>Could not read the SMART data</translation>
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
