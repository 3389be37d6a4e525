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
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
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
</TS>
