"""The command line both install tests take, and their start."""
import argparse
import sys
import unittest


def run_tests(module):
    """Reads --build, --version and --app-id into module.ARGS and runs the module's tests."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--app-id", required=True)
    module.ARGS, rest = parser.parse_known_args()
    unittest.main(module=module, argv=[sys.argv[0], "-v", *rest])
