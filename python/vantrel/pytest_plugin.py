"""The pytest plugin of vantrel: registers the vantrel_invalid mark, which @vantrel.parametrize
puts on a test case that holds an invalid level, and the fixture `vantrel_invalid`, true in
such a test case. Installed, pytest loads it by itself; from a build tree, run pytest with
`-p vantrel.pytest_plugin`."""

import pytest


def pytest_configure(config):
    config.addinivalue_line("markers", "vantrel_invalid: the test case holds an invalid level: expect the error path")


@pytest.fixture
def vantrel_invalid(request):
    """Whether the test case holds an invalid level."""
    return request.node.get_closest_marker("vantrel_invalid") is not None
