#!/usr/bin/env python3
"""The folder-order check, run over small trees made for each case."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'check_include_direction.py')


class IncludeDirectionCheck(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.root = self.folder.name
        self.write('app/overlay/overlay_host.h', '#include "panels/panel.h"\n')
        self.write('app/panels/panel.h', '#include "common/colors.h"\n#include <QWidget>\n')
        self.write('app/common/colors.h', '')
        self.write('core/common/clock.h', '')
        self.write('core/shell/coordinator.h', '#include "common/clock.h"\n')
        self.write('core/overlay/placement.h', '')

    def tearDown(self):
        self.folder.cleanup()

    def write(self, path, text):
        os.makedirs(os.path.dirname(os.path.join(self.root, path)), exist_ok=True)
        with open(os.path.join(self.root, path), 'w', encoding='utf-8') as file:
            file.write(text)

    def check(self):
        return subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)

    def test_includes_that_point_down_pass(self):
        self.write('app/drawing/canvas.cpp',
                   '#include "panels/panel.h"\n#include "common/clock.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_an_include_of_a_folder_above_fails_naming_the_file_and_the_include(self):
        self.write('app/panels/toolbar/button.cpp',
                   '#include <QColor>\n#include "overlay/overlay_host.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 1)
        self.assertIn('app/panels/toolbar/button.cpp:2: includes "overlay/overlay_host.h": '
                      'app/overlay is above app/panels', result.stdout)

    def test_an_include_of_a_feature_beside_fails(self):
        self.write('app/capture/loupe.h', '')
        self.write('app/drawing/canvas.cpp', '#include "capture/loupe.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 1)
        self.assertIn('app/capture is beside app/drawing', result.stdout)

    def test_core_folders_keep_their_own_order(self):
        self.write('core/shell/ports.h', '#include "overlay/placement.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 1)
        self.assertIn('core/shell/ports.h:1: includes "overlay/placement.h": '
                      'core/overlay is above core/shell', result.stdout)

    def test_an_app_include_found_only_in_core_is_allowed(self):
        # "shell/coordinator.h" names core's shell here: app/ may use all of core/.
        self.write('app/panels/panel.cpp', '#include "shell/coordinator.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_a_folder_missing_from_the_order_fails(self):
        self.write('app/gadgets/gadget.cpp', '#include "panels/panel.h"\n')
        result = self.check()
        self.assertEqual(result.returncode, 1)
        self.assertIn('app/gadgets has no place in the order', result.stdout)


if __name__ == '__main__':
    unittest.main()
