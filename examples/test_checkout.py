"""The pytest plugin on the checkout flow of checkout.txt: one test per test case of its pairwise
suite, each factor an argument named after it (a name that is no Python identifier is made one:
"Card type" becomes Card_type), the test's id made of its levels.

Installed, `pytest examples/test_checkout.py` runs it; from a build tree:

    PYTHONPATH=build/python python3 -m pytest -p vantrel.pytest_plugin examples/test_checkout.py

A test case that holds an invalid level ("~Expired card" in a model text) is marked
vantrel_invalid, and the fixture of that name is true in it: there the test expects the error
path. checkout.txt has no invalid level; payment-form.txt has several.
"""

import pytest

import vantrel

PICKUP_COUNTRIES = {"Germany", "France"}


def ship(customer, country, delivery, payment, coupon, basket):
    """The system under test, a stand-in: the shipping fee in cents, or ValueError for an
    order the shop refuses."""
    if delivery == "Pickup" and country not in PICKUP_COUNTRIES:
        raise ValueError("no pickup point in " + country)
    if delivery == "Locker" and (basket == "Oversized" or country == "Japan"):
        raise ValueError("no locker for this order")
    if customer == "Guest" and payment == "Invoice":
        raise ValueError("guests cannot pay by invoice")
    fee = {"Standard": 490, "Express": 1290, "Pickup": 0, "Locker": 290}[delivery]
    return 0 if coupon == "Free shipping" else fee


@vantrel.parametrize("checkout.txt", strength=2, seed=1)
def test_every_order_of_the_suite_ships(Customer, Country, Delivery, Payment, Coupon, Basket, vantrel_invalid):
    if vantrel_invalid:
        with pytest.raises(ValueError):
            ship(Customer, Country, Delivery, Payment, Coupon, Basket)
        return
    fee = ship(Customer, Country, Delivery, Payment, Coupon, Basket)
    assert fee >= 0
    if Coupon == "Free shipping":
        assert Delivery != "Express" and fee == 0
