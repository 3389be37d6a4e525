#!/usr/bin/env python3
"""scripts/check-ui-texts.py: what it takes for a text outside the
translation mechanism, and what not. Usage: ui_texts_check_test.py SOURCE_DIR"""

import os
import runpy
import subprocess
import sys
import tempfile
import types
import unittest

ROOT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
SCRIPT = os.path.join(ROOT, "scripts", "check-ui-texts.py")
check = types.SimpleNamespace(**runpy.run_path(SCRIPT))


class CodeTest(unittest.TestCase):
    def test_each_literal_outside_a_marking_call_is_found(self):
        cases = [
            # (source, the texts found)
            ('label->setText(tr("刷新"));', []),
            ('label->setText(QStringLiteral("刷新"));', ["刷新"]),
            ('const char k[] = "刷新";', ["刷新"]),
            ('qDebug() << "注册失败";', ["注册失败"]),
            ('QT_TRANSLATE_NOOP("TrayWatch", "关闭"),', []),
            ('QT_TR_NOOP("关闭")', []),
            ('constexpr const char* k = QF_TEXT("smart", "剩余寿命");', []),
            ('QCoreApplication::translate("Smart", "导出")', []),
            ('MainWin::tr("显示")', []),
            ('tr("第一行"\n   "第二行")', []),
            ('tr(kTexts[i])', []),
            ('tr("%1 个").arg("磁盘")', ["磁盘"]),
            ('show(tr("是"), "否")', ["否"]),
            ('tr(yes ? "是" : "否")', ["是", "否"]),
            ('QString s = R"(原始)";', ["原始"]),
            ('auto s = u8"前缀";', ["前缀"]),
            ('QString s = "a" "拼接";', ["拼接"]),
            ('x = "全角：";', ["全角："]),
            # comments, and what only looks like one
            ('// 刷新 in a comment\nint x;', []),
            ('/* 多行\n   注释 */ int x;', []),
            ('s = "// 不是注释";', ["// 不是注释"]),
            ("char c = '\"'; s = QStringLiteral(\"引号后\");", ["引号后"]),
            ("int n = 1'000; s = \"分隔符后\";", ["分隔符后"]),
            ('s = "转义\\"的引号";', ['转义\\"的引号']),
            # data nobody reads
            ('QFont font(QStringLiteral("微软雅黑"));', []),
            ('"font: 14px \\"微软雅黑\\";\\ncolor: white;"', []),
            ('"alternate-background-color: #e1e2f0;/*行交替颜色*/"', []),
            ('kResources + "刷新_sel.png"', []),
            ('"font: 14px \\"微软雅黑\\"; 但这句要翻译"', ['font: 14px \\"微软雅黑\\"; 但这句要翻译']),
            ('s = "plain ASCII";', []),
        ]
        for source, expected in cases:
            with self.subTest(source=source):
                self.assertEqual([text for _line, text in check.unmarked_in_code("app/X.cpp", source)], expected)

    def test_lines_are_counted_past_comments_and_literals(self):
        source = 'int a;\n/* one\n two */\nconst char* s = "a\\\nb";\n// "注释"\nx = QStringLiteral("第六行");\n'
        self.assertEqual(check.unmarked_in_code("app/X.cpp", source), [(7, "第六行")])

    def test_the_allowed_data_is_allowed_only_where_it_is(self):
        keys = '{"带电工作时间", "power_on_time"},'
        self.assertEqual(check.unmarked_in_code("smart/core/SmartNames.cpp", keys), [])
        self.assertEqual(len(check.unmarked_in_code("smart/core/SmartCatalog.cpp", keys)), 1)
        self.assertEqual(check.unmarked_in_code("cli/main.cpp", '"health level 警告, 16"'), [])
        self.assertEqual(len(check.unmarked_in_code("cli/main.cpp", '"健康指标"')), 1)


class FormTest(unittest.TestCase):
    def test_only_strings_kept_from_translation_are_found(self):
        form = """<ui version="4.0">
 <widget class="QLabel" name="lbHealth">
  <property name="text">
   <string>健康指标</string>
  </property>
  <property name="toolTip">
   <string notr="true">未翻译的提示</string>
  </property>
  <property name="styleSheet">
   <string notr="true">font: 12px &quot;微软雅黑&quot;;</string>
  </property>
 </widget>
</ui>
"""
        self.assertEqual(check.unmarked_in_form("app/X.ui", form), [(7, "未翻译的提示")])


class TreeTest(unittest.TestCase):
    """The script run on a small tree: a literal added to a marked file fails it."""

    def run_on(self, source):
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.join(root, "pages"))
            with open(os.path.join(root, "pages", "Page.cpp"), "w", encoding="utf-8") as out:
                out.write(source)
            with open(os.path.join(root, "pages", "notes.txt"), "w", encoding="utf-8") as out:
                out.write("不是源文件\n")
            return subprocess.run([sys.executable, SCRIPT, root, "pages"], capture_output=True, text=True)

    def test_an_added_literal_fails_the_check(self):
        marked = '// 页面\nvoid Page::build()\n{\n    title->setText(tr("固件升级"));\n}\n'
        run = self.run_on(marked)
        self.assertEqual((run.returncode, run.stdout), (0, ""))
        added = marked.replace("}\n", '    note->setText(QStringLiteral("请勿断电"));\n}\n')
        run = self.run_on(added)
        self.assertEqual(run.returncode, 1)
        self.assertEqual(run.stdout.splitlines()[0], "pages/Page.cpp:5: 请勿断电")
        self.assertEqual(len(run.stdout.splitlines()), 2, run.stdout)


if __name__ == "__main__":
    unittest.main()
