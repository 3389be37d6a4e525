<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- What the CLI's text table takes from a translation file, and what it
     leaves to the Chinese source. The contexts are out of order on purpose. -->
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>smart</name>
    <message>
        <source>剩余寿命</source>
        <translation>Remaining life</translation>
    </message>
    <message>
        <source>良好</source>
        <translation type="unfinished">Good</translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>旧文本</source>
        <translation type="obsolete">Old text</translation>
    </message>
    <message>
        <source>消失的文本</source>
        <translation type="vanished">Vanished text</translation>
    </message>
    <message numerus="yes">
        <source>%n 个磁盘</source>
        <translation>
            <numerusform>%n disk</numerusform>
            <numerusform>%n disks</numerusform>
        </translation>
    </message>
    <message>
        <source>状态</source>
        <comment>the tray's</comment>
        <translation>State</translation>
    </message>
    <message>
        <source>%1由%2增至%3</source>
        <translation>%1 rose from %2 to %3</translation>
    </message>
    <message>
        <source>引号"与\反斜杠
换行??=</source>
        <translation>Quote " and \ backslash
new line??=</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>剩余寿命</source>
        <translation>Life left</translation>
    </message>
    <message>
        <source>健康指标</source>
        <translation>Health</translation>
    </message>
</context>
</TS>
